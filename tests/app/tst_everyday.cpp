// Everyday use of the window with the keyboard and the mouse: keys and
// access keys, drops, recent files, the unsaved-changes and erase questions,
// editing a cell, the window remembered, the serial log. Input is sent as a
// user's (key and mouse events, drops, the system's close); the questions
// are the real message boxes, answered with the mouse.
#include "app/accesskeys.h"
#include "app/shortcuts.h"
#include "app/windowmemory.h"
#include "core/recentfiles.h"
#include "core/signalbridge.h"
#include "core/usersettings.h"
#include "link/programmerconnection.h"
#include "modaldialogs.h"
#include "plan/lengthcolumn.h"
#include "screenshot.h"
#include "testsounds.h"
#include "widgets/addressdialog.h"
#include "widgets/memorylegend.h"
#include "widgets/memorypictureview.h"
#include "widgets/operationstatus.h"
#include "widgets/qtprompter.h"
#include "widgets/seriallogwindow.h"
#include "windowuser.h"
#include "wiredprogram.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QWindow>
#include <csignal>
#include <memory>
#include <sndfile.h>

namespace {

const QString notUsed = QStringLiteral("not used");

// The real message boxes and file dialogs, made before the program that
// uses them and gone after it.
struct OnScreen {
    QtPrompter screenPrompter;
};

// The program as start-up builds it on a fake port and player, with the
// real message boxes, shown and active.
struct Program : OnScreen, FakeProgram {
    ModalDialogs dialogs;
    std::unique_ptr<WindowUser> user;

    Program() : FakeProgram(QByteArray(), nullptr, &screenPrompter) { show(); }
    void show() {
        screenPrompter.setParent(&main());
        user = std::make_unique<WindowUser>(main());
        main().show();
        main().activateWindow();
    }
    // The next start, in the same working and configuration folders; with
    // `remembered`, the window is placed as the program's entry places it.
    // False when there was nothing to restore.
    bool restart(bool remembered = false) {
        windows.main.reset();
        startProgram(QByteArray(), nullptr, &screenPrompter);
        const bool restored = !remembered || WindowMemory(w(), UserSettings::path()).restore();
        show();
        return restored;
    }
    bool active() { return QTest::qWaitForWindowActive(&main()); }
    MainWindow& main() { return w(); }
    QTableView* files() { return main().fileView(); }
    QString cell(int col, int row) { return state().fileGrid.cell(col, row); }
    int entries() { return state().fileGrid.FirstFreeRow() - 1; }
    QString write(const QString& name, const QByteArray& bytes) {
        folder.write(name, bytes);
        return folder.file(name);
    }
    // The handlers' runs are noted instead of done.
    QList<Handler> ran;
    void note(std::initializer_list<Handler> handlers) {
        for (const Handler handler : handlers)
            state().handlers.set(handler, [this, handler] { ran.append(handler); });
    }
    // A list loaded by a drop: the table then belongs to it, unchanged.
    QString dropList(const QByteArray& lines = "00010;00020;/s/a.wav;\r\n") {
        const QString name = write(QStringLiteral("l.lsp"), lines);
        if (!WindowUser::drop(files()->viewport(), {name}))
            return QString();
        if (!QTest::qWaitFor([&] { return state().listFileName == name; }))
            return QString();
        return name;
    }
    // The access keys that reach a command's menu item from the menu bar.
    QString keysTo(const QString& control) {
        QAction* target = state().commands.action(control);
        for (QAction* title : main().menuBar()->actions()) {
            if (title == target)
                return WindowUser::accessKey(title);
            const QString path = pathIn(title->menu(), target);
            if (!path.isEmpty())
                return WindowUser::accessKey(title) + path;
        }
        return QString();
    }
    // The same from the file table's context menu.
    QString popupKeysTo(const QString& control) {
        return pathIn(main().popupMenu(), state().commands.action(control));
    }
    static QString pathIn(QMenu* menu, QAction* target) {
        if (menu == nullptr)
            return QString();
        for (QAction* act : menu->actions()) {
            if (act == target)
                return WindowUser::accessKey(act);
            const QString deeper = pathIn(act->menu(), target);
            if (!deeper.isEmpty())
                return WindowUser::accessKey(act) + deeper;
        }
        return QString();
    }
    QRect cellRect(int col, int row) {
        return files()->visualRect(files()->model()->index(row - 1, col - 1));
    }
};

} // namespace

class TestEveryday : public QObject {
    Q_OBJECT

private slots:
    void standardKeysReachTheirCommands_data();
    void standardKeysReachTheirCommands();
    void fileTableKeysOnlyWhileItHasTheFocus();
    void accessKeysReachEveryMenuCommand_data();
    void accessKeysReachEveryMenuCommand();
    void accessKeysAreUniqueInEachMenu();
    void tabOrderFollowsTheWindow();

    void droppedSoundFilesAreAddedInOrder_data();
    void droppedSoundFilesAreAddedInOrder();
    void dropOfOtherFilesIsRefused();
    void droppedListOrMapOpens_data();
    void droppedListOrMapOpens();
    void addFileTakesSeveralFilesInOneDialog();

    void unsavedChangesAskOnEachPath_data();
    void unsavedChangesAskOnEachPath();
    void noQuestionWithoutChangesOrAfterASave_data();
    void noQuestionWithoutChangesOrAfterASave();
    void signalEndsWithoutAsking();

    void doubleClickOrF2EditsTheCell_data();
    void doubleClickOrF2EditsTheCell();

    void eraseAsksFirst_data();
    void eraseAsksFirst();

    void recentListsAndMaps();
    void brokenListIsNotRemembered();
    void windowSizePlaceAndColumnsRemembered();

    void statusTextStaysUnderHints();
    void portLostUnderAScanEndsWithItsEnding();
    void playingAFileShowsItsNameAndTime();
    void lengthColumnAndVerdictFollowTheTable();
    void serialLogShowsFramesWhileOpen();
    void textsFitAtDefaultSize();
};

void TestEveryday::standardKeysReachTheirCommands_data() {
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<int>("handler");
    for (const Shortcuts::Binding& binding : Shortcuts::bindings()) {
        const Commands::Row& row = Commands::row(binding.control);
        QTest::newRow(row.name) << Shortcuts::keys(binding).constFirst() << int(row.handler);
    }
}

void TestEveryday::standardKeysReachTheirCommands() {
    QFETCH(QKeySequence, keys);
    QFETCH(int, handler);
    QVERIFY(!keys.isEmpty());
    Program p;
    QVERIFY(p.active());
    // A table with a file: every command is on.
    QVERIFY(p.dropList().size() > 0);
    p.note({Handler(handler)});
    p.files()->setFocus();
    const QKeyCombination combination = keys[0];
    p.user->key(combination.key(), combination.keyboardModifiers());
    QCOMPARE(p.ran, QList<Handler>{Handler(handler)});
}

void TestEveryday::fileTableKeysOnlyWhileItHasTheFocus() {
    Program p;
    QVERIFY(p.active());
    QVERIFY(p.dropList().size() > 0);
    p.note({Handler::RemoveFile, Handler::InsertFile, Handler::OpenTable});
    // On the memory map, Delete and Insert are not the file table's.
    p.main().pages()->setCurrentIndex(1);
    p.main().mapView()->setFocus();
    p.user->key(Qt::Key_Delete);
    p.user->key(Qt::Key_Insert);
    QVERIFY(p.ran.isEmpty());
    // The window's own keys work from any page.
    p.user->key(Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(p.ran, QList<Handler>{Handler::OpenTable});
    // Delete and Insert are shown where they work: on the file table's items.
    QCOMPARE(p.state().commands.action(QStringLiteral("CloseFile"))->shortcut(),
             QKeySequence(QKeySequence::Delete));
    QCOMPARE(p.state().commands.action(QStringLiteral("Insert2"))->shortcut(),
             QKeySequence(Qt::Key_Insert));
}

void TestEveryday::accessKeysReachEveryMenuCommand_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("handler");
    using P = Commands::Place;
    for (const Commands::Row& row : Commands::controls()) {
        // Submenu holders and the never-shown controls run nothing.
        const bool inMenu =
            row.place == P::MainMenu || row.place == P::SubMenu || row.place == P::PopupMenu;
        if (inMenu && row.handler != Handler::None)
            QTest::newRow(row.name) << QString::fromLatin1(row.name) << int(row.handler);
    }
}

void TestEveryday::accessKeysReachEveryMenuCommand() {
    QFETCH(QString, control);
    QFETCH(int, handler);
    Program p;
    QVERIFY(p.active());
    // Reachable is the question here, not when: every item switched on.
    for (QAction* act : p.state().commands.all())
        act->setEnabled(true);
    p.note({Handler(handler)});
    const QString keys = p.keysTo(control);
    const QString popupKeys = p.popupKeysTo(control);
    QVERIFY2(!keys.isEmpty() || !popupKeys.isEmpty(), qPrintable(control));
    QVERIFY2(!(keys + popupKeys).contains(QChar()),
             qPrintable(control + QStringLiteral(" has no access key")));
    if (!keys.isEmpty())
        p.user->menuKeys(keys);
    else
        p.user->contextMenuKeys(p.files(), popupKeys);
    QTRY_COMPARE(p.ran, QList<Handler>{Handler(handler)});
    QCOMPARE(QApplication::activePopupWidget(), nullptr);
}

void TestEveryday::accessKeysAreUniqueInEachMenu() {
    Program p;
    QList<QList<QAction*>> menus = {p.main().menuBar()->actions(), p.main().popupMenu()->actions()};
    for (qsizetype i = 0; i < menus.size(); ++i) {
        QString taken;
        for (QAction* act : menus.at(i)) {
            if (act->isSeparator())
                continue;
            const QChar key = WindowUser::accessKey(act);
            QVERIFY2(!key.isNull(), qPrintable(act->text()));
            QVERIFY2(!taken.contains(key), qPrintable(act->text()));
            taken += key;
            // The caption itself is the command table's.
            QCOMPARE(AccessKeys::plain(act->text()).contains(u'&'), false);
            if (act->menu() != nullptr)
                menus.append(act->menu()->actions());
        }
    }
    QCOMPARE(AccessKeys::plain(QStringLiteral("Save &file list")),
             QStringLiteral("Save file list"));
    QString taken = QStringLiteral("e");
    QCOMPARE(AccessKeys::mark(QStringLiteral("Erase"), taken), QStringLiteral("E&rase"));
}

void TestEveryday::tabOrderFollowsTheWindow() {
    Program p;
    QVERIFY(p.active());
    // Focus starts on the file table, so its keys work at once.
    QCOMPARE(QApplication::focusWidget(), p.files());
    QTabBar* tabs = p.main().pages()->tabBar();
    tabs->setFocus();
    p.user->key(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), p.files());
    // Arrow keys on the tabs bring the map forward; Tab then goes to it.
    tabs->setFocus();
    p.user->key(Qt::Key_Right);
    QCOMPARE(p.main().pages()->currentIndex(), 1);
    p.user->key(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), p.main().mapView());
}

void TestEveryday::droppedSoundFilesAreAddedInOrder_data() {
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<bool>("onTable");
    QTest::addColumn<QStringList>("added");
    const QStringList three = {QStringLiteral("c.wav"), QStringLiteral("a.mid"),
                               QStringLiteral("b.WAV")};
    QTest::newRow("three on the table") << three << true << three;
    QTest::newRow("three on the panel") << three << false << three;
    QTest::newRow("one at a time keeps order")
        << QStringList{QStringLiteral("z.wav")} << true << QStringList{QStringLiteral("z.wav")};
}

void TestEveryday::droppedSoundFilesAreAddedInOrder() {
    QFETCH(QStringList, dropped);
    QFETCH(bool, onTable);
    QFETCH(QStringList, added);
    Program p;
    QVERIFY(p.active());
    p.main().pages()->setCurrentIndex(1);
    QStringList paths;
    for (const QString& name : dropped)
        paths.append(p.write(name, "RIFF"));
    QWidget* target =
        onTable ? p.files()->viewport() : p.main().findChild<QWidget*>(QStringLiteral("Panel1"));
    QVERIFY(WindowUser::drop(target, paths));
    QTRY_COMPARE(p.entries(), added.size());
    for (int row = 1; row <= added.size(); ++row) {
        QCOMPARE(p.cell(3, row), p.folder.file(added.at(row - 1)));
        QCOMPARE(p.cell(1, row), notUsed);
        QCOMPARE(p.cell(2, row), notUsed);
    }
    // As Add file makes them: one more grid row a file, the commands on,
    // the files' page in front.
    QCOMPARE(p.state().fileGrid.RowCount(), 120 + added.size());
    QVERIFY(p.state().commands.isEnabled(QStringLiteral("RecTable")));
    QCOMPARE(p.main().pages()->currentIndex(), 0);
}

void TestEveryday::dropOfOtherFilesIsRefused() {
    Program p;
    QVERIFY(p.active());
    const QString text = p.write(QStringLiteral("notes.txt"), "x");
    QVERIFY(!WindowUser::drop(p.files()->viewport(), {text}));
    QVERIFY(!WindowUser::drop(p.files()->viewport(), {p.folder.path()}));
    // Among sound files it is left out, and the user is told.
    p.dialogs.answer(QStringLiteral("OK"));
    QVERIFY(WindowUser::drop(p.files()->viewport(), {p.write(QStringLiteral("a.wav"), ""), text}));
    QTRY_VERIFY(p.dialogs.done());
    QCOMPARE(p.entries(), 1);
    QVERIFY(p.dialogs.seen.value(0).contains(QStringLiteral("notes.txt")));
}

void TestEveryday::droppedListOrMapOpens_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("onTable");
    QTest::newRow("list on the table") << QStringLiteral("l.lsp") << true;
    QTest::newRow("list on the tool bar") << QStringLiteral("l.lsp") << false;
    QTest::newRow("map on the table") << QStringLiteral("m.mpp") << true;
    QTest::newRow("map on the tool bar") << QStringLiteral("m.MPP") << false;
}

void TestEveryday::droppedListOrMapOpens() {
    QFETCH(QString, name);
    QFETCH(bool, onTable);
    Program p;
    QVERIFY(p.active());
    const bool list = name.endsWith(QLatin1String(".lsp"));
    const QString path =
        p.write(name, list ? QByteArray("00010;00020;/s/a.wav;\r\n12;abc;/s/b.wav;\r\n")
                           : QByteArray("00000;0000;00099;0063;;;\r\n"));
    QWidget* target =
        onTable ? p.files()->viewport() : p.main().findChild<QWidget*>(QStringLiteral("ToolBar1"));
    QVERIFY(WindowUser::drop(target, {path}));
    if (list) {
        // As Open Table loads it: cells as in the file, bad addresses
        // "not used", caption and list name, the folder remembered.
        QTRY_COMPARE(p.main().windowTitle(), QStringLiteral("VOKAR SD Programmer, ") + path);
        QCOMPARE(p.cell(1, 1), QStringLiteral("00010"));
        QCOMPARE(p.cell(1, 2), QStringLiteral("12"));
        QCOMPARE(p.cell(2, 2), notUsed);
        QCOMPARE(p.state().listFileName, path);
        QCOMPARE(p.state().folders.ListFolder, p.folder.path());
        QVERIFY(p.state().commands.isEnabled(QStringLiteral("SaveList")));
    } else {
        QTRY_COMPARE(p.state().mapGrid.cell(3, 1), QStringLiteral("00099"));
        QCOMPARE(p.main().pages()->currentIndex(), 1);
        QVERIFY(p.state().commands.isEnabled(QStringLiteral("SaveMap")));
        QCOMPARE(p.state().folders.MapFolder, p.folder.path());
    }
}

void TestEveryday::addFileTakesSeveralFilesInOneDialog() {
    Program p;
    QVERIFY(p.active());
    const QStringList names = {p.write(QStringLiteral("b.wav"), "RIFF"),
                               p.write(QStringLiteral("a.wav"), "RIFF"),
                               p.write(QStringLiteral("c.mid"), "MThd")};
    QStringList filters;
    p.dialogs.expect([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (dialog == nullptr) {
            modal->close();
            return;
        }
        filters = dialog->nameFilters();
        // The user picks three files, in the order they want them.
        QStringList quoted;
        for (const QString& name : names)
            quoted.append(u'"' + QFileInfo(name).fileName() + u'"');
        dialog->setDirectory(p.folder.path());
        // The dialog lists the folder in the background; typed names are
        // matched against that list.
        auto* list = dialog->findChild<QListView*>(QStringLiteral("listView"));
        if (list == nullptr ||
            !QTest::qWaitFor([list] { return list->model()->rowCount(list->rootIndex()) >= 3; })) {
            dialog->reject();
            return;
        }
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (edit == nullptr) {
            dialog->reject();
            return;
        }
        edit->setText(quoted.join(u' '));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    p.user->menuKeys(p.keysTo(QStringLiteral("LoadFile1")));
    QTRY_VERIFY(p.dialogs.done());
    QCOMPARE(filters.value(0), QStringLiteral("All sound files (*.wav *.mid)"));
    QCOMPARE(filters.size(), 3);
    QTRY_COMPARE(p.entries(), 3);
    QStringList added;
    for (int row = 1; row <= 3; ++row)
        added.append(QFileInfo(p.cell(3, row)).fileName());
    QCOMPARE(added, (QStringList{QStringLiteral("b.wav"), QStringLiteral("a.wav"),
                                 QStringLiteral("c.mid")}));
}

void TestEveryday::unsavedChangesAskOnEachPath_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("answer");
    for (const char* path : {"Exit", "close box", "Open Table", "Close file list"}) {
        for (const char* answer : {"Cancel", "Discard", "Save"})
            QTest::addRow("%s, %s", path, answer)
                << QString::fromLatin1(path) << QString::fromLatin1(answer);
    }
}

void TestEveryday::unsavedChangesAskOnEachPath() {
    QFETCH(QString, path);
    QFETCH(QString, answer);
    Program p;
    QVERIFY(p.active());
    const QString list = p.dropList();
    QVERIFY(!list.isEmpty());
    // A change: one more file dropped on the table.
    QVERIFY(WindowUser::drop(p.files()->viewport(), {p.write(QStringLiteral("new.wav"), "")}));
    QTRY_COMPARE(p.entries(), 2);

    p.dialogs.answer(answer);
    const bool goesOn = answer != QLatin1String("Cancel");
    // Open Table goes on to its file dialog, which the user then cancels.
    if (path == QLatin1String("Open Table") && goesOn)
        p.dialogs.expect([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    if (path == QLatin1String("Exit"))
        p.user->key(Qt::Key_Q, Qt::ControlModifier);
    else if (path == QLatin1String("close box"))
        p.main().windowHandle()->close();
    else if (path == QLatin1String("Open Table"))
        p.user->key(Qt::Key_O, Qt::ControlModifier);
    else
        p.user->menuKeys(p.keysTo(QStringLiteral("ClearList")));
    QTRY_VERIFY(p.dialogs.done());
    QCOMPARE(p.dialogs.seen.value(0), QStringLiteral("Save changes to l.lsp?"));

    const bool closing = path == QLatin1String("Exit") || path == QLatin1String("close box");
    if (closing)
        QCOMPARE(p.main().isVisible(), !goesOn);
    if (path == QLatin1String("Close file list"))
        QCOMPARE(p.entries(), goesOn ? 0 : 2);
    if (!goesOn)
        QCOMPARE(p.entries(), 2);
    const QByteArray saved = p.folder.read(QStringLiteral("l.lsp"));
    QCOMPARE(saved.count('\n'), answer == QLatin1String("Save") ? 2 : 1);
    if (answer == QLatin1String("Save"))
        QVERIFY(saved.contains("new.wav"));
}

void TestEveryday::noQuestionWithoutChangesOrAfterASave_data() {
    QTest::addColumn<bool>("changed");
    QTest::addColumn<bool>("saved");
    QTest::newRow("loaded, unchanged") << false << false;
    QTest::newRow("changed, then saved with Ctrl+S") << true << true;
}

void TestEveryday::noQuestionWithoutChangesOrAfterASave() {
    QFETCH(bool, changed);
    QFETCH(bool, saved);
    Program p;
    QVERIFY(p.active());
    QVERIFY(!p.dropList().isEmpty());
    if (changed) {
        QVERIFY(WindowUser::drop(p.files()->viewport(), {p.write(QStringLiteral("n.wav"), "")}));
        QTRY_COMPARE(p.entries(), 2);
    }
    if (saved) {
        p.user->key(Qt::Key_S, Qt::ControlModifier);
        QVERIFY(p.folder.read(QStringLiteral("l.lsp")).contains("n.wav"));
    }
    // Close file list, then Exit: neither asks.
    p.user->menuKeys(p.keysTo(QStringLiteral("ClearList")));
    QCOMPARE(p.entries(), 0);
    p.user->key(Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!p.main().isVisible());
    QVERIFY(p.dialogs.seen.isEmpty());
}

void TestEveryday::signalEndsWithoutAsking() {
    Program p;
    QVERIFY(p.active());
    QVERIFY(WindowUser::drop(p.files()->viewport(), {p.write(QStringLiteral("n.wav"), "")}));
    QTRY_COMPARE(p.entries(), 1);
    // As the program's entry connects it.
    SignalBridge bridge;
    QObject::connect(&bridge, &SignalBridge::terminationRequested, &p.main(),
                     &MainWindow::closeOnSignal);
    ::raise(SIGTERM);
    QTRY_VERIFY(!p.main().isVisible());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    // Closed as on Exit: the settings written.
    QVERIFY(p.folder.read(QStringLiteral("isdvokar.fig")).startsWith("VOKAR-1 Configuration File"));
}

void TestEveryday::doubleClickOrF2EditsTheCell_data() {
    QTest::addColumn<bool>("byKey");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("after");
    QTest::newRow("double-click start") << false << 1 << notUsed << "5"
                                        << "00005";
    QTest::newRow("double-click stop") << false << 2 << QStringLiteral("00300") << "250"
                                       << "00250";
    QTest::newRow("F2 on start") << true << 1 << QStringLiteral("00040") << "7"
                                 << "00007";
    QTest::newRow("F2 on stop") << true << 2 << notUsed << "99"
                                << "00099";
}

void TestEveryday::doubleClickOrF2EditsTheCell() {
    QFETCH(bool, byKey);
    QFETCH(int, column);
    QFETCH(QString, before);
    QFETCH(QString, typed);
    QFETCH(QString, after);
    Program p;
    QVERIFY(p.active());
    const QByteArray row2 = column == 1 ? before.toLatin1() + ";00300;/s/b.wav;\r\n"
                                        : "00010;" + before.toLatin1() + ";/s/b.wav;\r\n";
    QVERIFY(!p.dropList("00001;00002;/s/a.wav;\r\n" + row2).isEmpty());
    QString shown;
    QString selected;
    p.dialogs.expect([&](QWidget* modal) {
        auto* dialog = qobject_cast<AddressDialog*>(modal);
        if (dialog == nullptr) {
            modal->close();
            return;
        }
        shown = dialog->addressEdit->text();
        selected = dialog->addressEdit->selectedText();
        // Typing replaces the selected text.
        QTest::keyClicks(dialog->addressEdit, typed);
        QTest::keyClick(dialog->addressEdit, Qt::Key_Return);
    });
    const QPoint at = p.cellRect(column, 2).center();
    if (byKey) {
        QTest::mouseClick(p.files()->viewport(), Qt::LeftButton, {}, at);
        p.user->key(Qt::Key_F2);
    } else {
        p.user->doubleClickAt(p.files()->viewport(), at);
    }
    QTRY_VERIFY(p.dialogs.done());
    QVERIFY(!shown.isEmpty());
    QCOMPARE(selected, shown);
    if (before != notUsed)
        QCOMPARE(shown, before);
    QCOMPARE(p.cell(column, 2), after);
    // The other rows are as they were.
    QCOMPARE(p.cell(column, 1), column == 1 ? QStringLiteral("00001") : QStringLiteral("00002"));
    // A double-click on the file name opens nothing.
    p.user->doubleClickAt(p.files()->viewport(), p.cellRect(3, 2).center());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void TestEveryday::eraseAsksFirst_data() {
    QTest::addColumn<bool>("open");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("frames");
    QTest::newRow("Cancel") << true << QStringLiteral("Cancel") << 0;
    QTest::newRow("Escape") << true << QString() << 0;
    QTest::newRow("Erase") << true << QStringLiteral("Erase") << 1;
    // Nothing to wipe without a programmer: no question, only the command's
    // own refusal.
    QTest::newRow("port closed") << false << QStringLiteral("OK") << 0;
}

void TestEveryday::eraseAsksFirst() {
    QFETCH(bool, open);
    QFETCH(QString, answer);
    QFETCH(int, frames);
    Program p;
    QVERIFY(p.active());
    if (open)
        p.port.Open();
    p.port.written.clear();
    p.dialogs.answer(answer);
    p.user->menuKeys(p.keysTo(QStringLiteral("Erase1")));
    QTRY_VERIFY(p.dialogs.done());
    QCOMPARE(p.dialogs.seen,
             QStringList{open ? QStringLiteral("Erase the whole chip? Every message on it is lost.")
                              : ProgrammerConnection::notConnectedText()});
    QCOMPARE(p.port.written.size(), frames);
    if (frames > 0)
        QCOMPARE(p.port.written.at(0).at(0), '\x02'); // an ISD 33060 is erased by recording
    QCOMPARE(p.state().link.LinkState, frames > 0 ? 22 : 3);
}

void TestEveryday::recentListsAndMaps() {
    Program p;
    QVERIFY(p.active());
    const QString list = p.write(QStringLiteral("bells & horns.lsp"), "00010;00020;/s/a.wav;\r\n");
    const QString map = p.write(QStringLiteral("chip.mpp"), "00000;0000;00009;0009;;;\r\n");
    QVERIFY(WindowUser::drop(p.files()->viewport(), {list, map}));
    QTRY_COMPARE(p.state().listFileName, list);
    // The next start offers both, newest first, numbered.
    p.restart();
    QVERIFY(p.active());
    QMenu* lists = p.state().commands.action(QStringLiteral("RecentLists"))->menu();
    QMenu* maps = p.state().commands.action(QStringLiteral("RecentMaps"))->menu();
    QCOMPARE(lists->actions().size(), 1);
    // Its number is the access key; an "&" in the name is shown as it is.
    QCOMPARE(lists->actions().at(0)->text(), QStringLiteral("&1 bells && horns.lsp"));
    QCOMPARE(lists->actions().at(0)->toolTip(), list);
    QCOMPARE(maps->actions().at(0)->text(), QStringLiteral("&1 chip.mpp"));
    // Chosen with the keys, the list opens.
    p.user->menuKeys(p.keysTo(QStringLiteral("RecentLists")) + u'1');
    QTRY_COMPARE(p.state().listFileName, list);
    QCOMPARE(p.cell(3, 1), QStringLiteral("/s/a.wav"));
    // A map gone from the disk says so and leaves the menu.
    QVERIFY(QFile::remove(map));
    p.dialogs.answer(QStringLiteral("OK"));
    p.user->menuKeys(p.keysTo(QStringLiteral("RecentMaps")) + u'1');
    QTRY_VERIFY(p.dialogs.done());
    QVERIFY(p.dialogs.seen.value(0).contains(QStringLiteral("no longer there")));
    QTRY_COMPARE(maps->actions().at(0)->text(), QStringLiteral("No maps yet"));
    QCOMPARE(maps->actions().size(), 1);
    QVERIFY(!maps->actions().at(0)->isEnabled());
    // Ten at most, the newest first; a file saved again moves up.
    RecentFiles recent(UserSettings::path(), QStringLiteral("recent/lists"));
    for (int i = 0; i < 12; ++i) {
        const QString name = QStringLiteral("l%1.lsp").arg(i);
        p.write(name, "");
        recent.add(p.folder.file(name));
    }
    recent.add(p.folder.file(QStringLiteral("l5.lsp")));
    const QStringList names = recent.names();
    QCOMPARE(names.size(), RecentFiles::Limit);
    QCOMPARE(names.at(0), p.folder.file(QStringLiteral("l5.lsp")));
    QCOMPARE(names.at(1), p.folder.file(QStringLiteral("l11.lsp")));
    QVERIFY(!names.contains(p.folder.file(QStringLiteral("l1.lsp"))));
    // isdvokar.fig keeps its seven lines.
    p.main().close();
    QCOMPARE(p.folder.read(QStringLiteral("isdvokar.fig")).count('\n'), 7);
}

// A dropped list that loads only in part belongs to no file: it is neither
// offered again nor named in the caption, and is not taken for saved.
void TestEveryday::brokenListIsNotRemembered() {
    Program p;
    QVERIFY(p.active());
    const QString list = p.write(QStringLiteral("broken.lsp"), "1;2;/s/a.wav;\r\nbroken\r\n");
    p.dialogs.answer(QStringLiteral("OK"));
    QVERIFY(WindowUser::drop(p.files()->viewport(), {list}));
    QTRY_VERIFY(p.dialogs.done());
    QCOMPARE(p.dialogs.seen.value(0), QStringLiteral("Bad file format"));
    QCOMPARE(p.cell(3, 1), QStringLiteral("/s/a.wav"));
    QCOMPARE(p.main().windowTitle(), QStringLiteral("ISD Programmer"));
    QCOMPARE(p.state().listFileName, QString());
    QCOMPARE(RecentFiles(UserSettings::path(), QStringLiteral("recent/lists")).names(),
             QStringList());
    // What the table shows is in no file: leaving asks, for an untitled list.
    p.dialogs.answer(QStringLiteral("Cancel"));
    p.main().windowHandle()->close();
    QTRY_VERIFY(p.dialogs.done());
    QCOMPARE(p.dialogs.seen.value(1), QStringLiteral("Save changes to Untitled?"));
    QVERIFY(p.main().isVisible());
}

void TestEveryday::windowSizePlaceAndColumnsRemembered() {
    int startWidth = 0;
    QRect placed;
    {
        Program p;
        QVERIFY(p.active());
        p.main().resize(900, 600);
        p.main().move(40, 30);
        QTRY_COMPARE(p.main().width(), 900);
        // The user drags the start column's right edge 30 pixels wider.
        QHeaderView* header = p.files()->horizontalHeader();
        const int edge = header->sectionViewportPosition(0) + header->sectionSize(0) - 1;
        const int y = header->height() / 2;
        QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(edge, y));
        QTest::mouseMove(header->viewport(), QPoint(edge + 15, y));
        QTest::mouseMove(header->viewport(), QPoint(edge + 30, y));
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(edge + 30, y));
        startWidth = p.files()->columnWidth(0);
        QVERIFY(startWidth > 68);
        // The file name column gave way, and a resize keeps the user's width.
        QCOMPARE(p.state().fileGrid.ColWidth(1), startWidth);
        p.main().resize(950, 600);
        QTRY_COMPARE(p.state().fileGrid.ColWidth(3), 950 - (32 + startWidth + 68) - 40);
        QCOMPARE(p.files()->columnWidth(0), startWidth);
        placed = p.main().geometry();
        WindowMemory(p.main(), UserSettings::path()).save();
        p.main().close();
        QCOMPARE(p.folder.read(QStringLiteral("isdvokar.fig")).count('\n'), 7);
        // The next start, in the same configuration folder, restores them.
        QVERIFY(p.restart(true));
        QVERIFY(QTest::qWaitForWindowExposed(&p.w()));
        QCOMPARE(p.w().size(), placed.size());
        QCOMPARE(p.files()->columnWidth(0), startWidth);
        QCOMPARE(p.state().fileGrid.ColWidth(3), placed.width() - (32 + startWidth + 68) - 40);
    }
    // A first start has nothing to restore.
    FakeProgram first;
    QVERIFY(!WindowMemory(first.w(), UserSettings::path()).restore());
    QCOMPARE(first.w().size(), QSize(681, 494));
}

void TestEveryday::statusTextStaysUnderHints() {
    Program p;
    QVERIFY(p.active());
    auto* status = p.main().findChild<OperationStatus*>(QStringLiteral("OperationStatus"));
    QVERIFY(status != nullptr);
    const QString text = status->text();
    QVERIFY(!text.isEmpty());
    // A tool button's hint, as hovering it sends it.
    QStatusTipEvent tip(QStringLiteral("Play File"));
    QApplication::sendEvent(p.main().findChild<QWidget*>(QStringLiteral("OdtwarzajPlik")), &tip);
    QVERIFY(status->isVisible());
    QVERIFY(status->label()->isVisible());
    QCOMPARE(status->label()->text(), text);
    QCOMPARE(p.main().statusBar()->currentMessage(), QString());
    // Opening the port says so.
    p.port.Open();
    QCOMPARE(status->text(), QStringLiteral("Connected to COM1"));
    p.port.Close();
    QCOMPARE(status->text(), QStringLiteral("Not connected"));
}

// The port goes while the chip is scanned: the user is told, and the status
// bar ends on what became of the scan; the progress bar goes with it.
void TestEveryday::portLostUnderAScanEndsWithItsEnding() {
    Program p;
    QVERIFY(p.active());
    auto* status = p.main().findChild<OperationStatus*>(QStringLiteral("OperationStatus"));
    QVERIFY(status != nullptr);
    p.port.Open();
    p.user->menuKeys(p.keysTo(QStringLiteral("PlayfromISD2")));
    QCOMPARE(p.state().link.LinkState, int(LinkContext::StateScanning));
    QTRY_VERIFY(status->progressBar()->isVisible());
    p.dialogs.answer(QStringLiteral("OK"));
    p.port.vanish();
    QTRY_VERIFY(p.dialogs.done());
    QVERIFY(p.dialogs.seen.value(0).startsWith(QStringLiteral("Serial Port COM1 disconnected")));
    QTRY_COMPARE(status->text(), QStringLiteral("Scan not completed"));
    QTRY_VERIFY(!status->progressBar()->isVisible());
}

void TestEveryday::playingAFileShowsItsNameAndTime() {
    Program p;
    QVERIFY(p.active());
    const QString tone = p.folder.file(QStringLiteral("bell.wav"));
    QVERIFY(TestSounds::writeToneWav(tone, 8000, 1, 3.4, SF_FORMAT_PCM_16));
    QVERIFY(!p.dropList("not used;not used;" + tone.toUtf8() + ";\r\n").isEmpty());
    auto* status = p.main().findChild<OperationStatus*>(QStringLiteral("OperationStatus"));
    // Recording > Play file; the fake player plays until the test ends it.
    p.user->menuKeys(p.keysTo(QStringLiteral("PlayFile")));
    QVERIFY(p.player.IsPlaying());
    const QString playing = QStringLiteral("Playing bell.wav \u2014 ");
    QVERIFY2(status->text().startsWith(playing), qPrintable(status->text()));
    // Its time runs on, against the file's length once that is measured.
    QTRY_VERIFY(status->text().endsWith(QStringLiteral(" of 00:03.4")));
    QTRY_VERIFY(status->text() != playing + QStringLiteral("00:00.0 of 00:03.4"));
    p.player.finish();
    QCOMPARE(status->text(), QStringLiteral("Played bell.wav"));
}

void TestEveryday::lengthColumnAndVerdictFollowTheTable() {
    Program p;
    QVERIFY(p.active());
    QAbstractItemModel* model = p.files()->model();
    QCOMPARE(model->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Length"));
    // Not a cell of the table: the list file keeps three fields a line.
    QCOMPARE(p.state().fileGrid.ColCount(), 4);
    // The selected row's highlight takes it in.
    QVERIFY(p.files()->selectionModel()->isSelected(model->index(0, 3)));
    const QString tone = p.folder.file(QStringLiteral("tone.wav"));
    QVERIFY(TestSounds::writeToneWav(tone, 8000, 1, 0.5, SF_FORMAT_PCM_16));
    // Half a second in rows 0 and 1 of an ISD 33060 (0.3 s): too long.
    const QByteArray line = "00000;00001;" + tone.toUtf8() + ";\r\n";
    QVERIFY(!p.dropList(line + "not used;not used;/nowhere/b.wav;\r\n").isEmpty());
    const QString cut = QStringLiteral("0.50 s ") + LengthColumn::cutMark();
    QTRY_COMPARE(model->data(model->index(0, 3)).toString(), cut);
    QVERIFY(model->data(model->index(0, 3), Qt::ToolTipRole)
                .toString()
                .contains(QStringLiteral("tone.wav lasts 0.50 s")));
    QTRY_COMPARE(model->data(model->index(1, 3)).toString(), QStringLiteral("?"));
    p.user->key(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(p.folder.read(QStringLiteral("l.lsp")),
             line + "not used;not used;/nowhere/b.wav;\r\n");
    // The plan's line goes when a table changes after it.
    auto* verdict = p.main().findChild<QLabel*>(QStringLiteral("PlanStatus"));
    QVERIFY(verdict != nullptr);
    QTest::mouseClick(p.files()->viewport(), Qt::LeftButton, {}, p.cellRect(3, 2).center());
    p.user->key(Qt::Key_Delete); // the unreadable one goes
    QCOMPARE(p.entries(), 1);
    p.user->menuKeys(p.keysTo(QStringLiteral("PlanAddresses")));
    QTRY_VERIFY(verdict->text().contains(QStringLiteral("planned in rows")));
    QTRY_COMPARE(model->data(model->index(0, 3)).toString(), QStringLiteral("0.50 s"));
    QVERIFY(WindowUser::drop(p.files()->viewport(), {tone}));
    QTRY_COMPARE(p.entries(), 2);
    QCOMPARE(verdict->text(), QString());
    // The picture's legend stands under it and names every colour.
    auto* legend = p.main().findChild<MemoryLegend*>(QStringLiteral("MemoryLegend"));
    auto* picture = p.main().findChild<MemoryPictureView*>(QStringLiteral("MemoryPicture"));
    QVERIFY(legend != nullptr && picture != nullptr);
    QVERIFY(legend->isVisible());
    QVERIFY(legend->geometry().top() >= picture->geometry().bottom());
    QVERIFY(legend->width() >= legend->sizeHint().width());
    QCOMPARE(MemoryLegend::entries().size(), 6);
}

void TestEveryday::serialLogShowsFramesWhileOpen() {
    Program p;
    QVERIFY(p.active());
    p.port.Open();
    QAction* toggle = p.state().commands.action(QStringLiteral("SerialLog"));
    QVERIFY(!toggle->isChecked());
    // Off by default: the port has nobody watching it.
    QCOMPARE(p.port.trafficObserver(), nullptr);
    p.user->menuKeys(p.keysTo(QStringLiteral("SerialLog")));
    auto* log = p.main().findChild<SerialLogWindow*>(QStringLiteral("SerialLogWindow"));
    QVERIFY(log != nullptr);
    QTRY_VERIFY(log->isVisible());
    QVERIFY(toggle->isChecked());
    QCOMPARE(p.port.trafficObserver(), log);
    // Power up goes out; a reply and noise come in.
    p.main().activateWindow();
    QVERIFY(p.active());
    p.user->menuKeys(p.keysTo(QStringLiteral("PowerUp")));
    QByteArray reply = "100120" + QByteArray(14, '\0');
    p.port.feed(reply + reply);
    const QStringList lines = log->lines();
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines.at(0).contains(QStringLiteral("sent      07 ")));
    QVERIFY(lines.at(1).contains(QStringLiteral("received  31 30 30 31 32 30 00")));
    QVERIFY(lines.at(1).endsWith(QStringLiteral("|100120..............|")));
    QVERIFY(lines.at(2).contains(QStringLiteral("received")) ||
            lines.at(2).contains(QStringLiteral("discarded")));
    QCOMPARE(QTime::fromString(lines.at(0).left(12), QStringLiteral("HH:mm:ss.zzz")).isValid(),
             true);
    if (!qEnvironmentVariableIsEmpty("VOKAR_SCREENSHOTS"))
        screenshot(*log, QStringLiteral("serial-log.png"));
    // Saved as text, through the save dialog.
    const QString saved = p.folder.file(QStringLiteral("frames.txt"));
    p.dialogs.expect([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (dialog == nullptr) {
            modal->close();
            return;
        }
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (edit == nullptr) {
            dialog->reject();
            return;
        }
        edit->setText(saved);
        QTest::keyClick(edit, Qt::Key_Return);
    });
    QTest::mouseClick(log->saveButton(), Qt::LeftButton);
    QTRY_VERIFY(p.dialogs.done());
    QCOMPARE(QString::fromUtf8(p.folder.read(QStringLiteral("frames.txt"))).trimmed(),
             lines.join(u'\n'));
    // A save that cannot be done says why and leaves the saved log as it was.
    p.dialogs.answer(QStringLiteral("OK"));
    QVERIFY(!log->saveTo(p.folder.path()));
    QTRY_VERIFY(p.dialogs.done());
    QVERIFY2(p.dialogs.seen.constLast().startsWith(
                 QStringLiteral("Cannot save \"%1\": ").arg(p.folder.path())),
             qPrintable(p.dialogs.seen.constLast()));
    // Closed, it watches nothing, and what went out meanwhile is not in it.
    QTest::mouseClick(log->findChild<QPushButton*>(QStringLiteral("SerialLogClose")),
                      Qt::LeftButton);
    QVERIFY(!log->isVisible());
    QVERIFY(!toggle->isChecked());
    QCOMPARE(p.port.trafficObserver(), nullptr);
    p.main().activateWindow();
    QVERIFY(p.active());
    p.user->menuKeys(p.keysTo(QStringLiteral("PowerDown")));
    QCOMPARE(p.port.written.size(), 2);
    p.user->menuKeys(p.keysTo(QStringLiteral("SerialLog")));
    QTRY_VERIFY(log->isVisible());
    QCOMPARE(log->lines(), lines);
}

void TestEveryday::textsFitAtDefaultSize() {
    Program p;
    QVERIFY(p.active());
    QCOMPARE(p.main().size(), QSize(681, 494));
    for (int page : {0, 1}) {
        p.main().pages()->setCurrentIndex(page);
        QTRY_VERIFY((page == 0 ? p.files() : p.main().mapView())->isVisible());
        // Labels and buttons show their whole text.
        for (QLabel* label : p.main().findChildren<QLabel*>()) {
            if (!label->isVisible() || label->text().isEmpty() || label->wordWrap())
                continue;
            const int needed = label->fontMetrics().horizontalAdvance(label->text());
            QVERIFY2(label->contentsRect().width() >= needed,
                     qPrintable(label->objectName() + QStringLiteral(": ") + label->text()));
        }
        // Column headers fit their columns, on two lines where needed.
        QTableView* view = page == 0 ? p.files() : p.main().mapView();
        QHeaderView* header = view->horizontalHeader();
        for (int section = 0; section < header->count(); ++section) {
            const QString text = view->model()->headerData(section, Qt::Horizontal).toString();
            const QRect room(0, 0, header->sectionSize(section) - 6, header->height());
            const QRect needed = header->fontMetrics().boundingRect(
                room, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text);
            QVERIFY2(needed.width() <= room.width() && needed.height() <= room.height(),
                     qPrintable(text));
        }
    }
    // The tab captions and the menu titles.
    QTabBar* tabs = p.main().pages()->tabBar();
    for (int tab = 0; tab < tabs->count(); ++tab)
        QVERIFY(tabs->tabRect(tab).width() >=
                tabs->fontMetrics().horizontalAdvance(tabs->tabText(tab)));
    QVERIFY(p.main().menuBar()->sizeHint().width() <= p.main().width());
}

QTEST_MAIN(TestEveryday)
#include "tst_everyday.moc"
