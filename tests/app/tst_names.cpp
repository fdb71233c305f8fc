// docs/NAMES.md against the command table, the wired window and the
// sources; and every command's handler registered, none silently missing.
#include "app/accesskeys.h"
#include "core/handlertable.h"
#include "wiredprogram.h"

#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <QToolBar>

namespace {

// The rows of the Markdown table whose header row starts with `firstColumn`,
// each as its trimmed cells.
QList<QStringList> tableRows(const QString& text, const QString& header) {
    QList<QStringList> rows;
    const QStringList lines = text.split(u'\n');
    qsizetype at = lines.indexOf(header);
    if (at < 0)
        return rows;
    for (at += 2; at < lines.size() && lines.at(at).startsWith(u'|'); ++at) {
        QStringList cells = lines.at(at).split(u'|');
        cells = cells.mid(1, cells.size() - 2);
        for (QString& cell : cells)
            cell = cell.trimmed();
        rows.append(cells);
    }
    return rows;
}

QString unquoted(const QString& cell) {
    QString text = cell;
    return text.remove(u'`');
}

// Where each action of the window appears, in the words of docs/NAMES.md.
QHash<const QAction*, QString> placesIn(MainWindow& window) {
    QHash<const QAction*, QString> where;
    const std::pair<const char*, const char*> bars[] = {{"ToolBar1", "Sound Files tool bar"},
                                                        {"ToolBar2", "ISD Memory Map tool bar"}};
    for (const auto& [name, label] : bars) {
        for (const QAction* act : window.findChild<QToolBar*>(QString::fromLatin1(name))->actions())
            where.insert(act, QString::fromLatin1(label));
    }
    const auto walk = [&where](const QMenu* menu, const QString& label, const QString& base) {
        for (const QAction* act : menu->actions()) {
            if (act->isSeparator())
                continue;
            where.insert(act, label);
            if (const QMenu* sub = act->menu()) {
                for (const QAction* inner : sub->actions()) {
                    if (!inner->isSeparator())
                        where.insert(inner,
                                     base + QStringLiteral(" > ") + AccessKeys::plain(act->text()));
                }
            }
        }
    };
    for (const QAction* top : window.menuBar()->actions()) {
        const QString title = AccessKeys::plain(top->text());
        if (top->menu() != nullptr)
            walk(top->menu(), title + QStringLiteral(" menu"), title);
        else
            where.insert(top, QStringLiteral("menu bar"));
    }
    walk(window.popupMenu(), QStringLiteral("context menu"), QStringLiteral("context menu"));
    // Keys of the file table that are in no menu.
    for (const QAction* act : window.fileView()->actions()) {
        if (!where.contains(act))
            where.insert(act, QStringLiteral("file table key"));
    }
    return where;
}

// "`Class::method` (src/x/y.cpp)": the handler's name must be the method's,
// and the file must define it.
void checkMethod(const QString& cell, Handler handler) {
    static const QRegularExpression form(QStringLiteral("^`([A-Za-z:]+)` \\(([a-z/_.]+)\\)$"));
    const QRegularExpressionMatch match = form.match(cell);
    QVERIFY2(match.hasMatch(), qPrintable(cell));
    const QString method = match.captured(1);
    QCOMPARE(method.section(QStringLiteral("::"), -1), QString::fromLatin1(handlerName(handler)));
    QFile source(QStringLiteral(VOKAR_SOURCE_DIR "/") + match.captured(2));
    QVERIFY2(source.open(QIODevice::ReadOnly), qPrintable(source.fileName()));
    const QString text = QString::fromUtf8(source.readAll());
    const QString definition =
        method.contains(u':') ? method + u'(' : QStringLiteral("void ") + method + u'(';
    QVERIFY2(text.contains(definition), qPrintable(definition + QStringLiteral(" in ") + cell));
}

QString namesText() {
    QFile file(QStringLiteral(VOKAR_SOURCE_DIR "/docs/NAMES.md"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

} // namespace

class TestNames : public QObject {
    Q_OBJECT

private slots:
    void everyCommandHasItsHandler();
    void aHandlerNothingRegisteredRaises();
    void namesListEveryCommandAsTheWindowHasIt();
    void namesListTheOtherHandlers();
    void namesListControlsTheWindowHas();
};

void TestNames::everyCommandHasItsHandler() {
    FakeProgram program;
    const HandlerTable& handlers = program.state().handlers;
    for (const Commands::Row& row : Commands::controls()) {
        if (row.handler != Handler::None)
            QVERIFY2(handlers.has(row.handler), row.name);
    }
    for (int h = int(Handler::None) + 1; h < int(Handler::Count); ++h)
        QVERIFY2(handlers.has(Handler(h)), handlerName(Handler(h)));
}

void TestNames::aHandlerNothingRegisteredRaises() {
    FakePrompter prompter;
    HandlerTable handlers(prompter);
    handlers.run(Handler::MemoryScan);
    QCOMPARE(prompter.errors,
             QStringList{QStringLiteral("No operation for the command memoryScan")});
    handlers.run(Handler::None);
    QCOMPARE(prompter.errors.size(), 1);
    int runs = 0;
    handlers.set(Handler::MemoryScan, [&runs] { ++runs; });
    handlers.run(Handler::MemoryScan);
    QCOMPARE(runs, 1);
    QCOMPARE(prompter.errors.size(), 1);
}

void TestNames::namesListEveryCommandAsTheWindowHasIt() {
    FakeProgram program;
    const QHash<const QAction*, QString> where = placesIn(program.w());
    const QList<QStringList> rows = tableRows(
        namesText(), QStringLiteral("| Control | Caption | Where | What it does | Method |"));
    QCOMPARE(rows.size(), qsizetype(Commands::controls().size()));
    QSet<QString> seen;
    for (const QStringList& cells : rows) {
        QCOMPARE(cells.size(), 5);
        const QString name = unquoted(cells.at(0));
        QVERIFY2(!seen.contains(name), qPrintable(name));
        seen.insert(name);
        const QAction* act = program.state().commands.action(name);
        const Commands::Row* row = nullptr;
        for (const Commands::Row& r : Commands::controls()) {
            if (QString::fromLatin1(r.name) == name)
                row = &r;
        }
        QVERIFY(row != nullptr);
        QCOMPARE(cells.at(1), QString::fromLatin1(row->caption));
        QCOMPARE(cells.at(2), where.value(act, QStringLiteral("not shown")));
        QVERIFY2(!cells.at(3).isEmpty(), qPrintable(name));
        if (row->handler == Handler::None)
            QVERIFY2(cells.at(4).isEmpty(), qPrintable(name));
        else
            checkMethod(cells.at(4), row->handler);
    }
}

void TestNames::namesListTheOtherHandlers() {
    QSet<Handler> withControl;
    for (const Commands::Row& row : Commands::controls())
        withControl.insert(row.handler);
    QList<Handler> others;
    for (int h = int(Handler::None) + 1; h < int(Handler::Count); ++h) {
        if (!withControl.contains(Handler(h)))
            others.append(Handler(h));
    }
    const QList<QStringList> rows =
        tableRows(namesText(), QStringLiteral("| Handler | Runs when | Method |"));
    QCOMPARE(rows.size(), others.size());
    for (const QStringList& cells : rows) {
        QCOMPARE(cells.size(), 3);
        Handler handler = Handler::None;
        for (Handler h : others) {
            if (QString::fromLatin1(handlerName(h)) == unquoted(cells.at(0)))
                handler = h;
        }
        QVERIFY2(handler != Handler::None, qPrintable(cells.at(0)));
        QVERIFY(!cells.at(1).isEmpty());
        checkMethod(cells.at(2), handler);
    }
}

void TestNames::namesListControlsTheWindowHas() {
    FakeProgram program;
    const QList<QStringList> rows =
        tableRows(namesText(), QStringLiteral("| Control | What it is | Code name |"));
    QVERIFY(rows.size() >= 30);
    for (const QStringList& cells : rows) {
        const QString name = unquoted(cells.at(0));
        const QObject* control =
            program.w().objectName() == name ? &program.w() : program.w().findChild<QObject*>(name);
        QVERIFY2(control != nullptr, qPrintable(name));
    }
}

QTEST_MAIN(TestNames)
#include "tst_names.moc"
