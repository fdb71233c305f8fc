#include "testsounds.h"
#include "widgets/memorypictureview.h"
#include "wiredprogram.h"

#include <QFrame>
#include <QHelpEvent>
#include <QLabel>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QToolTip>
#include <sndfile.h>

namespace {

const QString notUsed = QStringLiteral("not used");

// The wired program on fakes, with sound files of known lengths.
struct Program : FakeProgram {
    QString files(int col, int row) { return state().fileGrid.cell(col, row); }
    QString status() { return w().findChild<QLabel*>(QStringLiteral("PlanStatus"))->text(); }
    MemoryPictureView* picture() {
        return w().findChild<MemoryPictureView*>(QStringLiteral("MemoryPicture"));
    }
    QString sound(const QString& name, double seconds) {
        const QString path = folder.file(name);
        if (!TestSounds::writeToneWav(path, 8000, 1, seconds, SF_FORMAT_PCM_16))
            return QString();
        return path;
    }
    // Files as "Add file" puts them into the table: no addresses yet.
    bool addFiles(const QList<QPair<QString, double>>& sounds) {
        int row = 1;
        for (const auto& [name, seconds] : sounds) {
            const QString path = sound(name, seconds);
            if (path.isEmpty())
                return false;
            state().fileGrid.setCell(FileColumn::Start, row, notUsed);
            state().fileGrid.setCell(FileColumn::Stop, row, notUsed);
            state().fileGrid.setCell(FileColumn::File, row, path);
            ++row;
        }
        state().availability.UpdateMenu();
        return true;
    }
    QList<QPair<int, int>> blocks(PictureBlock::Kind kind) {
        QList<QPair<int, int>> out;
        if (!picture()->memoryLayout())
            return out;
        for (const PictureBlock& b : picture()->memoryLayout()->blocks()) {
            if (b.kind == kind)
                out.append({b.firstRow, b.lastRow});
        }
        return out;
    }
    // The three sounds planned, and "Check records" started on them with
    // the port open; true once the check runs.
    bool checkPlannedSounds();
    QPoint centreOf(PictureBlock::Kind kind, int tableRow) {
        for (const PictureBlock& b : picture()->memoryLayout()->blocks()) {
            if (b.kind == kind && b.tableRow == tableRow)
                return picture()->memoryLayout()->rectOf(b, picture()->drawingArea()).center();
        }
        return {};
    }
};

const QList<QPair<QString, double>> threeSounds = {{QStringLiteral("one.wav"), 3.0},
                                                   {QStringLiteral("two.wav"), 1.0},
                                                   {QStringLiteral("three.wav"), 4.5}};

} // namespace

bool Program::checkPlannedSounds() {
    port.Open();
    if (!addFiles(threeSounds))
        return false;
    run("PlanAddresses");
    state().commands.setEnabled({Control::CheckRecordsItem}, true);
    run("CheckRecords1");
    return state().link.LinkState == 44;
}

class TestPlanWindow : public QObject {
    Q_OBJECT

private slots:
    void pictureSitsAboveTheBottomPanelOnBothTabs();
    void planAddressesFillsTheTableAndThePictureFollows();
    void planThatDoesNotFitSaysHowMuchIsMissing();
    void planWaitsWhileTheProgrammerIsBusy();
    void plannedTableSavesAsTypedAddressesWould();
    void exportWritesTheTableOrTheMapAsCHeader();
    void pictureFollowsChipTypeAndCurrentAddress();
    void clickingABlockSelectsItsRow();
    void hoverTellsFileRowsAndTime();
    void recordTableNamesTheFilesThatWillBeCut();
    void checkRecordsEndsWithTheVerdict();
    void checkThatFindsNoChipGivesNoVerdict();
};

void TestPlanWindow::pictureSitsAboveTheBottomPanelOnBothTabs() {
    Program p;
    p.w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&p.w()));
    MemoryPictureView* picture = p.picture();
    QVERIFY(picture != nullptr);
    auto* panel = p.w().findChild<QFrame*>(QStringLiteral("Panel1"));
    for (int tab : {0, 1}) {
        p.w().pages()->setCurrentIndex(tab);
        QVERIFY(picture->isVisible());
        QVERIFY(picture->geometry().bottom() < panel->geometry().top());
        QVERIFY(picture->geometry().top() > p.w().pages()->geometry().top());
    }
    QCOMPARE(picture->width(), p.w().centralWidget()->width());
}

void TestPlanWindow::planAddressesFillsTheTableAndThePictureFollows() {
    Program p;
    QVERIFY(p.addFiles(threeSounds));
    // Every length known: the three files without addresses are drawn one
    // after the other from the start of memory. (While lengths are still being
    // measured fewer blocks show; that state may already be gone, so it is
    // never waited for.)
    const QList<QPair<int, int>> chained{{0, 19}, {20, 26}, {27, 56}};
    QTRY_COMPARE(p.blocks(PictureBlock::Kind::File), chained);
    // Another window with the same table and lengths draws the same picture.
    Program q;
    QVERIFY(q.addFiles(threeSounds));
    QTRY_COMPARE(q.blocks(PictureBlock::Kind::File), chained);
    for (Program* each : {&p, &q}) {
        each->w().show();
        QVERIFY(QTest::qWaitForWindowExposed(&each->w()));
    }
    QCOMPARE(q.picture()->size(), p.picture()->size());
    QCOMPARE(q.picture()->grab().toImage(), p.picture()->grab().toImage());

    p.run("PlanAddresses");
    const QStringList expected[] = {{QStringLiteral("00000"), QStringLiteral("00019")},
                                    {QStringLiteral("00020"), QStringLiteral("00026")},
                                    {QStringLiteral("00027"), QStringLiteral("00056")}};
    for (int row = 1; row <= 3; ++row) {
        QCOMPARE(p.files(FileColumn::Start, row), expected[row - 1].at(0));
        QCOMPARE(p.files(FileColumn::Stop, row), expected[row - 1].at(1));
    }
    QVERIFY(p.prompter.messages.isEmpty());
    QCOMPARE(p.status(),
             QStringLiteral("3 files planned in rows 0-56; 343 rows (51.45 s) are left free."));
    QTRY_COMPARE(p.blocks(PictureBlock::Kind::File), chained);
}

void TestPlanWindow::planThatDoesNotFitSaysHowMuchIsMissing() {
    Program p;
    QVERIFY(p.addFiles({{QStringLiteral("long.wav"), 40.0}, {QStringLiteral("more.wav"), 25.0}}));
    p.run("PlanAddresses");
    QCOMPARE(p.prompter.messages,
             QStringList{QStringLiteral(
                 "The table does not fit the ISD 33060: its files need 434 rows (65.10 s), the "
                 "chip holds 400 rows (60.00 s) from row 0. 34 rows (5.10 s) are missing; no "
                 "address was changed.")});
    QCOMPARE(p.files(FileColumn::Start, 1), notUsed);
    QCOMPARE(p.files(FileColumn::Stop, 2), notUsed);
}

void TestPlanWindow::planWaitsWhileTheProgrammerIsBusy() {
    Program p;
    QVERIFY(p.addFiles(threeSounds));
    p.state().link.LinkState = 11; // recording the table
    p.run("PlanAddresses");
    QCOMPARE(p.prompter.messages,
             QStringList{QStringLiteral("Addresses can be planned when the programmer is idle.")});
    QCOMPARE(p.files(FileColumn::Start, 1), notUsed);
    p.state().link.LinkState = 3;
    p.run("PlanAddresses");
    QCOMPARE(p.files(FileColumn::Start, 1), QStringLiteral("00000"));
}

void TestPlanWindow::plannedTableSavesAsTypedAddressesWould() {
    Program p;
    QVERIFY(p.addFiles(threeSounds));
    p.run("PlanAddresses");
    const QString list = p.folder.file(QStringLiteral("planned.lsp"));
    p.prompter.answers = {list};
    p.run("SaveList");
    const QByteArray saved = p.folder.read(QStringLiteral("planned.lsp"));
    QVERIFY(saved.startsWith("00000;00019;"));
    QVERIFY(saved.contains("\r\n00020;00026;"));
}

void TestPlanWindow::exportWritesTheTableOrTheMapAsCHeader() {
    Program p;
    QVERIFY(p.addFiles(threeSounds));
    p.run("PlanAddresses");
    p.prompter.answers = {p.folder.file(QStringLiteral("table"))};
    p.run("ExportAddresses");
    const QByteArray table = p.folder.read(QStringLiteral("table.h"));
    QVERIFY(table.contains("the ISD 33060, from the file table"));
    QVERIFY(table.contains("#define MSG_THREE_START 27u\n#define MSG_THREE_END 56u\n"
                           "#define MSG_THREE_LENGTH_MS 4500ul\n"));
    QCOMPARE(p.prompter.shown.last().filter, QStringLiteral("C header (*.h)|*.h"));

    p.state().mapGrid.setCell(MapColumn::Start, 1, QStringLiteral("00016"));
    p.state().mapGrid.setCell(MapColumn::Eom, 1, QStringLiteral("00035"));
    p.w().pages()->setCurrentIndex(1);
    p.prompter.answers = {p.folder.file(QStringLiteral("map.h"))};
    p.run("ExportAddresses");
    const QByteArray map = p.folder.read(QStringLiteral("map.h"));
    QVERIFY(map.contains("from the memory map"));
    QVERIFY(map.contains("#define MSG_1_START 16u\n#define MSG_1_END 35u\n"
                         "#define MSG_1_LENGTH_MS 3000ul\n"));
    // Cancelling the dialog writes nothing; an empty source says so.
    p.state().mapGrid.setCell(MapColumn::Start, 1, QString());
    p.run("ExportAddresses");
    QCOMPARE(p.prompter.messages, QStringList{QStringLiteral("The memory map holds no messages.")});
}

void TestPlanWindow::pictureFollowsChipTypeAndCurrentAddress() {
    Program p;
    QTRY_VERIFY(p.picture()->memoryLayout().has_value());
    QCOMPARE(p.picture()->memoryLayout()->chip().lastRow, 399);
    QVERIFY(p.blocks(PictureBlock::Kind::Reserved).isEmpty());
    p.state().chip.ChipType = 44;
    p.state().chip.ApplyChipType();
    QTRY_COMPARE(p.picture()->memoryLayout()->chip().name, QStringLiteral("ISD 1760"));
    QCOMPARE(p.blocks(PictureBlock::Kind::Reserved), (QList<QPair<int, int>>{{0, 15}}));
    p.state().panel.setText(PanelTexts::Address, QStringLiteral("00100"));
    QTRY_COMPARE(p.picture()->cursorRow(), 100);
    // The map's records are drawn as found.
    p.state().mapGrid.setCell(MapColumn::Start, 1, QStringLiteral("00016"));
    p.state().mapGrid.setCell(MapColumn::Eom, 1, QStringLiteral("00040"));
    QTRY_COMPARE(p.blocks(PictureBlock::Kind::Record), (QList<QPair<int, int>>{{16, 40}}));
}

void TestPlanWindow::clickingABlockSelectsItsRow() {
    Program p;
    QVERIFY(p.addFiles(threeSounds));
    p.run("PlanAddresses");
    p.state().mapGrid.setCell(MapColumn::Start, 1, QStringLiteral("00100"));
    p.state().mapGrid.setCell(MapColumn::Eom, 1, QStringLiteral("00199"));
    p.w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&p.w()));
    QTRY_COMPARE(p.blocks(PictureBlock::Kind::Record).size(), 1);
    QTest::mouseClick(p.picture(), Qt::LeftButton, {}, p.centreOf(PictureBlock::Kind::File, 3));
    QCOMPARE(p.state().fileGrid.Row(), 3);
    QCOMPARE(p.w().pages()->currentIndex(), 0);
    QCOMPARE(p.state().panel.address(), QStringLiteral("00027"));
    QTest::mouseClick(p.picture(), Qt::LeftButton, {}, p.centreOf(PictureBlock::Kind::Record, 1));
    QCOMPARE(p.w().pages()->currentIndex(), 1);
    QCOMPARE(p.state().mapGrid.Row(), 1);
    QCOMPARE(p.state().panel.address(), QStringLiteral("00100"));
}

void TestPlanWindow::hoverTellsFileRowsAndTime() {
    Program p;
    QVERIFY(p.addFiles({{QStringLiteral("bell.wav"), 3.4}}));
    p.state().fileGrid.setCell(FileColumn::Start, 1, QStringLiteral("00000"));
    p.state().fileGrid.setCell(FileColumn::Stop, 1, QStringLiteral("00016"));
    p.w().resize(804, 494);
    QTRY_COMPARE(p.blocks(PictureBlock::Kind::File), (QList<QPair<int, int>>{{0, 16}}));
    // The length is measured in the background; the picture follows when it is known.
    QTRY_COMPARE(
        p.picture()->tipAt(p.centreOf(PictureBlock::Kind::File, 1)),
        QStringLiteral("bell.wav\nrows 0-16 (2.55 s)\nlasts 3.40 s\nbell.wav lasts 3.40 s; "
                       "rows 0-16 hold 2.55 s"));
    // A hover shows that text as the tool tip.
    p.w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&p.w()));
    const QPoint at = p.centreOf(PictureBlock::Kind::File, 1);
    QHelpEvent hover(QEvent::ToolTip, at, p.picture()->mapToGlobal(at));
    QCoreApplication::sendEvent(p.picture(), &hover);
    QTRY_COMPARE(QToolTip::text(), p.picture()->tipAt(at));
    bool cut = false;
    for (const PictureBlock& b : p.picture()->memoryLayout()->blocks())
        cut = cut || (b.kind == PictureBlock::Kind::File && b.state == PictureBlock::State::Cut);
    QVERIFY(cut);
}

void TestPlanWindow::recordTableNamesTheFilesThatWillBeCut() {
    Program p;
    p.port.Open();
    QVERIFY(p.addFiles({{QStringLiteral("bell.wav"), 3.4}, {QStringLiteral("gong.wav"), 1.0}}));
    p.state().fileGrid.setCell(FileColumn::Start, 1, QStringLiteral("00000"));
    p.state().fileGrid.setCell(FileColumn::Stop, 1, QStringLiteral("00016"));
    p.state().fileGrid.setCell(FileColumn::Start, 2, QStringLiteral("00100"));
    p.port.written.clear();
    p.run("RecTable");
    QCOMPARE(p.state().link.LinkState, 11);
    QVERIFY(!p.port.written.isEmpty());
    QCOMPARE(p.status(),
             QStringLiteral("Will be cut: bell.wav lasts 3.40 s; rows 0-16 hold 2.55 s"));
    QCOMPARE(p.w().findChild<QLabel*>(QStringLiteral("PlanStatus"))->toolTip(), p.status());
    QVERIFY(p.prompter.messages.isEmpty());
}

void TestPlanWindow::checkRecordsEndsWithTheVerdict() {
    Program p;
    QVERIFY(p.checkPlannedSounds());
    QCOMPARE(p.status(), QString());
    // The programmer finds each message where it was meant to be; the
    // second is three rows short.
    p.port.feed(QByteArrayLiteral("400020") + QByteArray(14, '\0'));
    p.port.feed(QByteArrayLiteral("400024") + QByteArray(14, '\0'));
    QCOMPARE(p.status(), QString());
    p.port.feed(QByteArrayLiteral("400057") + QByteArray(14, '\0'));
    QCOMPARE(p.state().link.LinkState, 3);
    QCOMPARE(p.state().mapGrid.cell(MapColumn::Eom, 2), QStringLiteral("00023"));
    QCOMPARE(p.status(), QStringLiteral("Verify: 1 of 3 messages differ - row 2: 4 rows (0.60 s) "
                                        "found, the file needs 7 rows (1.05 s)"));
    bool differs = false;
    QTRY_VERIFY(p.blocks(PictureBlock::Kind::Record).size() == 3);
    for (const PictureBlock& b : p.picture()->memoryLayout()->blocks()) {
        if (b.kind == PictureBlock::Kind::Record)
            QCOMPARE(b.state == PictureBlock::State::Differs, b.tableRow == 2);
        differs = differs || b.state == PictureBlock::State::Differs;
    }
    QVERIFY(differs);
}

void TestPlanWindow::checkThatFindsNoChipGivesNoVerdict() {
    Program p;
    QVERIFY(p.checkPlannedSounds());
    p.port.feed(QByteArrayLiteral("<00000") + QByteArray(14, '\0'));
    QCOMPARE(p.state().link.LinkState, 3);
    QVERIFY(p.prompter.messages.contains(QStringLiteral("Device not detected !")));
    QCOMPARE(p.status(), QString());
}

QTEST_MAIN(TestPlanWindow)
#include "tst_planwindow.moc"
