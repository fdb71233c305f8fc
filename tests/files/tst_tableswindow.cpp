#include "wiredprogram.h"

#include <QTabWidget>
#include <QTableView>
#include <QtTest>

namespace {

// The program as start-up builds it, on fakes, in a scratch working folder,
// shown.
struct Program : FakeProgram {
    Program() { w().show(); }
    void click(QTableView* view, int row) {
        const QRect cell = view->visualRect(view->model()->index(row - 1, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    }
};

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

QTEST_MAIN(TestTablesWindow)
#include "tst_tableswindow.moc"
