// Mouse events enter through the window system interface, as the platform
// delivers them: a right press then brings its context menu event, and a
// popup menu takes the clicks while it is open.
#define QTEST_QPA_MOUSE_HANDLING

#include "wiredprogram.h"

#include "widgets/gridview.h"

#include <QMenu>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

namespace {

// The program as start-up builds it, on fakes, in a scratch working folder,
// shown.
struct Program : FakeProgram {
    Program() { w().show(); }
    void click(QTableView* view, int row) {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at(view, row));
    }
    static QPoint at(QTableView* view, int row) {
        return view->visualRect(view->model()->index(row - 1, 1)).center();
    }
    // A right-click on a row of the file grid, then a click on `item` in the
    // context menu it opens.
    void fromContextMenu(int row, const char* item) {
        QTest::mouseClick(w().fileView()->viewport(), Qt::RightButton, {}, at(w().fileView(), row));
        QMenu* menu = w().popupMenu();
        QTRY_VERIFY(menu->isVisible());
        QAction* action = w().state().commands.action(QString::fromLatin1(item));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        QTRY_VERIFY(!menu->isVisible());
    }
};

// What the user does to a grid in the grouped selection test.
enum Gesture { Click, RightClick, MenuDelete, MenuInsert, Drag, ToolbarRemove };

// The highlighted rows of a view, as grid rows.
QList<int> highlighted(QTableView* view) {
    QList<int> rows;
    for (const QModelIndex& index : view->selectionModel()->selectedRows())
        rows << index.row() + 1;
    return rows;
}

} // namespace

// The table commands as the window runs them: from its actions, with its
// caption and tabs, and with the grids' views.
class TestTablesWindow : public QObject {
    Q_OBJECT
private slots:
    void actionsRunTheTableCommands();
    void loadedListNamesItselfInCaption();
    void keyboardSelectionRunsRowHandlerOnlyOnChange();
    void clickOnNewRowRunsRowHandlerOnce();
    void loadKeepsTheSelectedRowHighlighted();
    void highlightedRowIsTheActedOnRow_data();
    void highlightedRowIsTheActedOnRow();
};

void TestTablesWindow::actionsRunTheTableCommands() {
    Program program;
    MainWindow& window = program.w();
    window.pages()->setCurrentIndex(1);
    program.prompter.answers = {QStringLiteral("/s/a.wav"), QStringLiteral("/s/b.wav")};
    program.run("LoadFile1");
    QCOMPARE(window.pages()->currentIndex(), 0);
    program.run("SpeedButton2");
    QCOMPARE(window.state().fileGrid.cell(FileColumn::File, 2), QStringLiteral("/s/b.wav"));
    QVERIFY(window.state().commands.isEnabled(QStringLiteral("DeletePlik")));
    window.state().fileGrid.setRow(1);
    program.run("Delete");
    QCOMPARE(window.state().fileGrid.cell(FileColumn::File, 1), QStringLiteral("/s/b.wav"));
    QCOMPARE(window.windowTitle(), QStringLiteral("ISD Programmer"));
    program.run("ClearList");
    QCOMPARE(window.state().fileGrid.cell(FileColumn::File, 1), QString());
    QVERIFY(!window.state().commands.isEnabled(QStringLiteral("SaveList")));
}

void TestTablesWindow::loadedListNamesItselfInCaption() {
    Program program;
    MainWindow& window = program.w();
    program.folder.write(QStringLiteral("l.lsp"), "00010;00020;/s/a.wav;\r\n");
    const QString name = program.folder.file(QStringLiteral("l.lsp"));
    program.prompter.answers = {name};
    program.run("OpenTable");
    QCOMPARE(window.windowTitle(), QStringLiteral("VOKAR SD Programmer, ") + name);
    QCOMPARE(window.state().listFileName, name);
    window.state().fileGrid.setCell(FileColumn::Start, 1, QStringLiteral("00011"));
    program.run("SpeedButton5");
    QCOMPARE(program.folder.read(QStringLiteral("l.lsp")), QByteArray("00011;00020;/s/a.wav;\r\n"));
}

void TestTablesWindow::keyboardSelectionRunsRowHandlerOnlyOnChange() {
    Program program;
    MainWindow& window = program.w();
    program.folder.write(QStringLiteral("l.lsp"),
                         "00010;not used;/s/a.wav;\r\nabc;not used;/s/b.wav;\r\n"
                         "00030;not used;/s/c.wav;\r\n");
    program.prompter.answers = {program.folder.file(QStringLiteral("l.lsp"))};
    program.run("OpenTable");
    // The load turned the bad address into "not used"; put one back.
    window.state().fileGrid.setCell(FileColumn::Start, 2, QStringLiteral("abc"));
    QTableView* view = window.fileView();
    view->setFocus();
    program.click(view, 1);
    QCOMPARE(window.state().panel.address(), QStringLiteral("00010"));
    QTest::keyClick(view, Qt::Key_Down);
    QCOMPARE(window.state().fileGrid.Row(), 2);
    QCOMPARE(program.prompter.messages, QStringList{QStringLiteral("Bad Cell format !")});
    QTest::keyClick(view, Qt::Key_Down);
    QCOMPARE(window.state().panel.address(), QStringLiteral("00030"));
    QTest::keyClick(view, Qt::Key_Down); // onto a free row: nothing to show
    QCOMPARE(window.state().fileGrid.Row(), 4);
    QCOMPARE(window.state().panel.address(), QStringLiteral("00030"));
}

void TestTablesWindow::clickOnNewRowRunsRowHandlerOnce() {
    Program program;
    MainWindow& window = program.w();
    program.folder.write(QStringLiteral("m.mpp"), "00000;0000;00009;0009;;;\r\njunk;;;;;;\r\n");
    program.prompter.answers = {program.folder.file(QStringLiteral("m.mpp"))};
    program.run("N20");
    window.pages()->setCurrentIndex(1);
    QTableView* view = window.mapView();
    program.click(view, 2);
    QCOMPARE(window.state().mapGrid.Row(), 2);
    QCOMPARE(program.prompter.errors.size(), 1); // the bad start, reported once
    program.click(view, 2);                      // a click on the selected row runs it again
    QCOMPARE(program.prompter.errors.size(), 2);
    program.click(view, 1);
    QCOMPARE(window.state().panel.address(), QStringLiteral("00000"));
    QCOMPARE(window.state().panel.addressHex(), QStringLiteral("0000"));
    QCOMPARE(program.prompter.errors.size(), 2);
}

void TestTablesWindow::loadKeepsTheSelectedRowHighlighted() {
    Program program;
    MainWindow& window = program.w();
    program.folder.write(QStringLiteral("l.lsp"), "1;2;/a.wav;\r\n3;4;/b.wav;\r\n5;6;/c.wav;\r\n");
    window.state().fileGrid.setRow(3);
    program.prompter.answers = {program.folder.file(QStringLiteral("l.lsp"))};
    program.run("SpeedButton4");
    QCOMPARE(window.state().fileGrid.Row(), 3);
    QCOMPARE(window.fileView()->currentIndex().row(), 2);
}

void TestTablesWindow::highlightedRowIsTheActedOnRow_data() {
    QTest::addColumn<bool>("map");
    QTest::addColumn<int>("gesture");
    QTest::addColumn<int>("from");     // the row clicked first
    QTest::addColumn<int>("to");       // the row the gesture points at, or releases on
    QTest::addColumn<int>("selected"); // the grid's row afterwards
    // The file table by names after the gesture and then one Remove File
    // from the tool bar, which removes the highlighted row.
    QTest::addColumn<QStringList>("after");
    const auto names = [](const char* list) {
        return QString::fromLatin1(list).split(u' ', Qt::SkipEmptyParts);
    };
    QTest::newRow("files: click") << false << int(Click) << 1 << 4 << 4 << names("1 2 3 5");
    QTest::newRow("files: right-click, Delete")
        << false << int(MenuDelete) << 1 << 3 << 3 << names("1 2 5");
    QTest::newRow("files: right-click, Insert")
        << false << int(MenuInsert) << 1 << 3 << 3 << names("1 2 3 4 5");
    QTest::newRow("files: drag 2 to 4") << false << int(Drag) << 1 << 4 << 4 << names("1 2 3 5");
    QTest::newRow("files: Remove row 1")
        << false << int(ToolbarRemove) << 1 << 1 << 1 << names("3 4 5");
    QTest::newRow("files: Remove a middle row")
        << false << int(ToolbarRemove) << 3 << 3 << 3 << names("1 2 5");
    QTest::newRow("map: click") << true << int(Click) << 1 << 4 << 4 << QStringList();
    QTest::newRow("map: right-click") << true << int(RightClick) << 1 << 3 << 3 << QStringList();
    QTest::newRow("map: drag 2 to 4") << true << int(Drag) << 1 << 4 << 4 << QStringList();
}

// Five files and five records. The rows the user does not choose hold texts
// that their row behaviour would complain about and rewrite (as texts copied
// from the map may be): had it run on one of them, a message or a changed
// cell would show.
void TestTablesWindow::highlightedRowIsTheActedOnRow() {
    QFETCH(bool, map);
    QFETCH(int, gesture);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, selected);
    QFETCH(QStringList, after);

    Program program;
    MainWindow& window = program.w();
    ProgramState& state = window.state();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QByteArray list, records;
    for (int k = 1; k <= 5; ++k) {
        list += QByteArray::number(k * 10).rightJustified(5, '0') + ";not used;" +
                QByteArray::number(k) + ";\r\n";
        const bool chosen = k == from || k == to;
        records +=
            (chosen ? QByteArray::number(k * 100).rightJustified(5, '0') : "junk") + ";;;;;;\r\n";
    }
    program.folder.write(QStringLiteral("t.lsp"), list);
    program.folder.write(QStringLiteral("t.mpp"), records);
    program.prompter.answers = {program.folder.file(QStringLiteral("t.lsp")),
                                program.folder.file(QStringLiteral("t.mpp"))};
    program.run("OpenTable");
    program.run("N20");
    QHash<QString, QPair<QString, QString>> addresses; // by file name
    for (int k = 1; k <= 5; ++k) {
        if (k != from && k != to) {
            state.fileGrid.setCell(1, k, QStringLiteral("x%1").arg(k));
            state.fileGrid.setCell(2, k, QStringLiteral("y"));
        }
        addresses.insert(state.fileGrid.cell(3, k),
                         {state.fileGrid.cell(1, k), state.fileGrid.cell(2, k)});
    }
    addresses.insert(QStringLiteral("N"), {QStringLiteral("not used"), QStringLiteral("not used")});

    StringGrid& grid = map ? state.mapGrid : state.fileGrid;
    auto* view = qobject_cast<GridView*>(map ? window.mapView() : window.fileView());
    QVERIFY(view != nullptr);
    window.pages()->setCurrentIndex(map ? 1 : 0);
    program.click(view, from);
    QCOMPARE(grid.Row(), from);

    QSignalSpy chosen(view, &GridView::rowChosen);
    QWidget* viewport = view->viewport();
    switch (Gesture(gesture)) {
    case Click:
        program.click(view, to);
        break;
    case RightClick:
        QTest::mouseClick(viewport, Qt::RightButton, {}, Program::at(view, to));
        break;
    case MenuDelete:
        program.fromContextMenu(to, "Delete");
        break;
    case MenuInsert:
        program.prompter.answers = {QStringLiteral("N")};
        program.fromContextMenu(to, "Insert2");
        break;
    case Drag:
        QTest::mousePress(viewport, Qt::LeftButton, {}, Program::at(view, 2));
        QTest::mouseMove(viewport, Program::at(view, 3));
        QTest::mouseMove(viewport, Program::at(view, to));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, Program::at(view, to));
        break;
    case ToolbarRemove:
        program.run("DeletePlik");
        break;
    }
    // The user's row ran its behaviour once; a row the program moved to ran nothing.
    QCOMPARE(chosen.count(), gesture == ToolbarRemove ? 0 : 1);
    QCOMPARE(grid.Row(), selected);
    QCOMPARE(highlighted(view), QList<int>{selected});
    if (gesture != ToolbarRemove && gesture != MenuInsert) {
        const QString start =
            map ? QString::asprintf("%05d", to * 100) : QString::asprintf("%05d", to * 10);
        QCOMPARE(state.panel.address(), start);
    }

    if (map) {
        // Play from ISD plays the highlighted record.
        state.port.Open();
        program.port.written.clear();
        program.run("SpeedButton8");
        QVERIFY(!program.port.written.isEmpty());
        const QByteArray frame = program.port.written.last();
        QCOMPARE((quint8(frame.at(1)) << 8) | quint8(frame.at(2)), selected * 100);
    } else {
        // Remove File acts on the highlighted row, and the highlight stays on
        // the grid's row.
        program.run("DeletePlik");
        QCOMPARE(grid.Row(), selected);
        QCOMPARE(highlighted(view), QList<int>{selected});
        QStringList names;
        for (int row = 1; !grid.cell(3, row).isEmpty(); ++row) {
            names << grid.cell(3, row);
            // No address cell changed that the user did not edit.
            QCOMPARE(grid.cell(1, row), addresses.value(names.last()).first);
            QCOMPARE(grid.cell(2, row), addresses.value(names.last()).second);
        }
        QCOMPARE(names, after);
    }
    QCOMPARE(program.prompter.messages, QStringList());
    QCOMPARE(program.prompter.errors, QStringList());
}

QTEST_MAIN(TestTablesWindow)
#include "tst_tableswindow.moc"
