#include "emuprogram.h"

#include <QTabWidget>
#include <QTableView>
#include <QTest>

namespace {

// The wired program with the real port component on the stand-in's line,
// the stand-in's chip holding three messages. The player is a fake: these
// tests are about the line, the player has tests of its own.
struct Bench : EmuProgram {
    bool start(const QByteArray& image, const QStringList& extra = {}, int chipInSocket = 1,
               int programChip = 1, const QString& timeScale = QStringLiteral("0.01")) {
        if (!EmuProgram::start({image, chipInSocket, timeScale, 2000, extra},
                               SettingsFile().chipType(programChip).text()))
            return false;
        // The chip type goes out as the port opens (and answers the greeting
        // where the stand-in greets); a user's first command comes after that.
        return emu.waitForGreetingAnswered();
    }
    QString map(int col, int row) { return state().mapGrid.cell(col, row); }
    // A memory scan of the three messages, until its overflow row shows the
    // end of memory.
    bool scanToTheEnd() {
        run("PlayfromISD2");
        return QTest::qWaitFor([this] { return map(MapColumn::Ovf, 4) == QStringLiteral("00400"); },
                               10000);
    }
};

const QByteArray threeMessages = "vokar-emu image\nchip 1\nmessage 0 99\nmessage 100 249\n"
                                 "message 250 299\n";

} // namespace

class TestChipOpsEmu : public QObject {
    Q_OBJECT

private slots:
    void memoryScanBuildsTheMap();
    void playTableWalksEveryRecord();
    void playStopsAtTheEndOfTheChosenRecord();
    void recordTableThenCheckRecordsFindsTheFiles();
    void eraseEmptiesAnIsd1740();
    void eraseRecordsSilenceOnAnIsd33060();
    void chipLargerThanChosenTypeGivesAddressError();
    void emptySocketGivesDeviceNotDetected();
    void circularFaultIsReported();
    void splitRepliesAreTakenWhole();
    void garbageBeforeEveryReplyIsDroppedAndTheScanCompletes();
    void unansweredCommandWaitsAndStopReturnsToIdle();
    void hangUpDuringRecordingLeavesNotConnected();
};

void TestChipOpsEmu::memoryScanBuildsTheMap() {
    Bench b;
    QVERIFY(b.start(threeMessages));
    QVERIFY(b.scanToTheEnd());
    QCOMPARE(b.state().link.LinkState, 3);
    const QStringList expected[] = {
        {QStringLiteral("00000"), QStringLiteral("0000"), QStringLiteral("00099"),
         QStringLiteral("0063")},
        {QStringLiteral("00100"), QStringLiteral("0064"), QStringLiteral("00249"),
         QStringLiteral("00F9")},
        {QStringLiteral("00250"), QStringLiteral("00FA"), QStringLiteral("00299"),
         QStringLiteral("012B")},
    };
    for (int row = 1; row <= 3; ++row) {
        for (int col = 1; col <= 4; ++col)
            QCOMPARE(b.map(col, row), expected[row - 1].at(col - 1));
    }
    // The free space after the last message runs into the end of memory.
    QCOMPARE(b.map(MapColumn::Start, 4), QStringLiteral("00300"));
    QCOMPARE(b.map(MapColumn::Eom, 4), QString());
    QCOMPARE(b.state().mapGrid.Row(), 1);
    QCOMPARE(b.state().panel.address(), QStringLiteral("00000"));
    QVERIFY(b.state().commands.isEnabled(QStringLiteral("SaveMap")));
    QVERIFY(b.state().commands.isEnabled(QStringLiteral("SpeedButton8")));
    QVERIFY(!b.state().commands.isEnabled(QStringLiteral("StopISD")));
    QCOMPARE(b.logged(QStringLiteral("Scan start")), 4);
    QVERIFY(b.prompter.messages.isEmpty());
}

void TestChipOpsEmu::playTableWalksEveryRecord() {
    Bench b;
    QVERIFY(b.start(threeMessages));
    QVERIFY(b.scanToTheEnd());
    b.run("Playtable1");
    QTRY_COMPARE_WITH_TIMEOUT(b.logged(QStringLiteral("Play start")), 4, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(b.state().link.LinkState, 3, 20000);
    const QStringList plays = b.emu.log().filter(QStringLiteral("Play start"));
    QVERIFY(plays.at(0).contains(QStringLiteral("start 00000 stop 00399 power 1")));
    QVERIFY(plays.at(1).contains(QStringLiteral("start 00100 stop 00399 power 1")));
    QVERIFY(plays.at(2).contains(QStringLiteral("start 00250 stop 00399 power 1")));
    QVERIFY(plays.at(3).contains(QStringLiteral("start 00300 stop 00399 power 0")));
    QVERIFY(b.state().commands.isEnabled(QStringLiteral("Playtable1")));
}

void TestChipOpsEmu::playStopsAtTheEndOfTheChosenRecord() {
    Bench b;
    QVERIFY(b.start(threeMessages));
    QVERIFY(b.scanToTheEnd());
    // The user clicks the second record.
    QTableView* view = b.w().mapView();
    b.w().show();
    b.w().pages()->setCurrentIndex(1);
    QVERIFY(QTest::qWaitForWindowExposed(&b.w()));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(b.state().mapGrid.index(1, 0)).center());
    QCOMPARE(b.state().panel.address(), QStringLiteral("00100"));
    b.run("SpeedButton8");
    QVERIFY(b.emu.waitForLog(QStringLiteral("Play start 00100")));
    QTRY_COMPARE_WITH_TIMEOUT(b.state().link.LinkState, 3, 10000);
    // Playback ended after the record's last row: the next record is shown.
    QCOMPARE(b.state().panel.address(), QStringLiteral("00250"));
    QCOMPARE(b.state().mapGrid.Row(), 3);
}

void TestChipOpsEmu::recordTableThenCheckRecordsFindsTheFiles() {
    Bench b;
    QVERIFY(b.start("vokar-emu image\nchip 1\n"));
    const QString rows[][3] = {
        {QStringLiteral("00000"), QStringLiteral("not used"), QStringLiteral("/s/one.wav")},
        {QStringLiteral("not used"), QStringLiteral("not used"), QStringLiteral("/s/two.wav")},
        {QStringLiteral("00200"), QStringLiteral("00260"), QStringLiteral("/s/three.wav")},
    };
    for (int row = 1; row <= 3; ++row) {
        for (int col = 1; col <= 3; ++col)
            b.state().fileGrid.setCell(col, row, rows[row - 1][col - 1]);
    }
    b.state().availability.UpdateMenu();
    b.run("RecTable");
    // Each file "plays" until a few progress reports have passed; the third
    // outlasts its stop address, where the programmer ends it.
    for (int file = 1; file <= 2; ++file) {
        QTRY_VERIFY_WITH_TIMEOUT(b.player.IsPlaying(), 10000);
        const int before = b.logged(QStringLiteral("Continue"));
        QTRY_VERIFY_WITH_TIMEOUT(b.logged(QStringLiteral("Continue")) >= before + 2, 10000);
        b.player.finish();
        QTRY_COMPARE_WITH_TIMEOUT(b.logged(QStringLiteral("Record start")), file + 1, 10000);
    }
    QTRY_COMPARE_WITH_TIMEOUT(b.state().link.LinkState, 3, 20000);
    QVERIFY(!b.player.IsPlaying());
    const QStringList records = b.emu.log().filter(QStringLiteral("Record start"));
    QVERIFY(records.at(0).contains(QStringLiteral("power 1")));
    QVERIFY(records.at(1).contains(QStringLiteral("power 1")));
    QVERIFY(records.at(2).contains(QStringLiteral("start 00200 stop 00260 (given) power 0")));

    b.run("CheckRecords1");
    QTRY_VERIFY_WITH_TIMEOUT(!b.map(MapColumn::Start, 3).isEmpty() && b.state().link.LinkState == 3,
                             10000);
    QCOMPARE(b.map(MapColumn::Start, 1), QStringLiteral("00000"));
    // The second file was recorded where the first one ended.
    QCOMPARE(b.map(MapColumn::Start, 2),
             QString::asprintf("%05d", b.map(MapColumn::Eom, 1).toInt() + 1));
    QCOMPARE(b.map(MapColumn::Start, 3), QStringLiteral("00200"));
    QCOMPARE(b.map(MapColumn::Eom, 3), QStringLiteral("00260"));
    QCOMPARE(b.state().panel.address(), QStringLiteral("00000"));
}

void TestChipOpsEmu::eraseEmptiesAnIsd1740() {
    Bench b;
    // The chip's erase must take long enough for its two replies to come
    // apart, as they do on the programmer.
    QVERIFY(b.start("vokar-emu image\nchip 42\nmessage 16 99\nmessage 100 120\n", {}, 42, 42,
                    QStringLiteral("0.25")));
    b.run("Erase1");
    QVERIFY(b.emu.waitForLog(QStringLiteral("Erase")));
    QTRY_COMPARE_WITH_TIMEOUT(b.state().link.LinkState, 3, 10000);
    QCOMPARE(b.state().panel.address(), QStringLiteral("00016"));
    b.run("PlayfromISD2");
    QTRY_COMPARE_WITH_TIMEOUT(b.map(MapColumn::Ovf, 1), QStringLiteral("00336"), 10000);
    // Nothing left: the one row is the free memory running into the end.
    QCOMPARE(b.map(MapColumn::Start, 1), QStringLiteral("00016"));
    QCOMPARE(b.map(MapColumn::Eom, 1), QString());
    QCOMPARE(b.state().panel.timeToEnd(), QStringLiteral("Rosc"));
}

void TestChipOpsEmu::eraseRecordsSilenceOnAnIsd33060() {
    Bench b;
    QVERIFY(b.start(threeMessages));
    // Erasing takes bytes 4 to 8 from the command before it, a scan here.
    QVERIFY(b.scanToTheEnd());
    b.run("Erase1");
    QVERIFY(b.emu.waitForLog(QStringLiteral("Record start 00000 stop 00399")));
    QTRY_COMPARE_WITH_TIMEOUT(b.state().link.LinkState, 3, 10000);
    b.run("PlayfromISD2");
    QTRY_COMPARE_WITH_TIMEOUT(b.map(MapColumn::Ovf, 2), QStringLiteral("00400"), 10000);
    // One message of silence over the whole memory, ending on its last row.
    QCOMPARE(b.map(MapColumn::Start, 1), QStringLiteral("00000"));
    QCOMPARE(b.map(MapColumn::Eom, 1), QStringLiteral("00399"));
    QCOMPARE(b.map(MapColumn::Start, 2), QString());
}

void TestChipOpsEmu::chipLargerThanChosenTypeGivesAddressError() {
    Bench b;
    // An ISD 33120 (800 rows) in the socket, the program set for an ISD 33060.
    QVERIFY(b.start("vokar-emu image\nchip 5\nmessage 0 99\nmessage 100 599\n", {}, 5, 1));
    b.run("PlayfromISD2");
    QTRY_COMPARE_WITH_TIMEOUT(b.prompter.messages.size(), 2, 10000);
    QCOMPARE(b.prompter.messages, QStringList({QStringLiteral("ISD max adress error"),
                                               QStringLiteral("Please select right ISD device")}));
    QCOMPARE(b.map(MapColumn::Start, 1), QString()); // the map is emptied again
    QCOMPARE(b.state().link.LinkState, 3);
    QVERIFY(b.emu.waitForLog(QStringLiteral("Stop")));
}

void TestChipOpsEmu::emptySocketGivesDeviceNotDetected() {
    Bench b;
    QVERIFY(b.start({}, {QStringLiteral("--no-chip")}));
    b.run("PowerUp");
    b.run("SpeedButton8");
    QTRY_COMPARE_WITH_TIMEOUT(b.prompter.messages.size(), 2, 10000);
    QCOMPARE(b.prompter.messages, QStringList({QStringLiteral("Device not detected !"),
                                               QStringLiteral("Please select right ISD device")}));
    QCOMPARE(b.state().link.PowerSetting, quint8(0));
    QCOMPARE(b.state().link.LinkState, 3);
}

void TestChipOpsEmu::circularFaultIsReported() {
    Bench b;
    QVERIFY(b.start("vokar-emu image\nchip 41\n", {}, 41, 41));
    b.emu.command(QStringLiteral("circular"));
    QTRY_COMPARE_WITH_TIMEOUT(
        b.prompter.messages, QStringList{QStringLiteral("Circular memory structure fail!")}, 10000);
    QCOMPARE(b.state().link.LinkState, 3);
}

void TestChipOpsEmu::splitRepliesAreTakenWhole() {
    Bench b;
    QVERIFY(b.start(threeMessages, {QStringLiteral("--split"), QStringLiteral("7"),
                                    QStringLiteral("--split-pause"), QStringLiteral("5")}));
    QVERIFY(b.scanToTheEnd());
    QCOMPARE(b.map(MapColumn::Eom, 3), QStringLiteral("00299"));
    QVERIFY(b.prompter.errors.isEmpty());
}

void TestChipOpsEmu::garbageBeforeEveryReplyIsDroppedAndTheScanCompletes() {
    Bench b;
    QVERIFY(b.start(threeMessages, {QStringLiteral("--garbage"), QStringLiteral("5")}));
    b.run("PlayfromISD2");
    QTRY_COMPARE_WITH_TIMEOUT(b.map(5, 4), QStringLiteral("00400"), 10000);
    QCOMPARE(b.map(3, 3), QStringLiteral("00299"));
    QCOMPARE(b.state().link.LinkState, 3);
    // Five bytes before each of the four replies.
    QCOMPARE(b.state().link.NoiseBytesDropped, quint64(4 * 5));
    QVERIFY(b.prompter.messages.isEmpty());
    QVERIFY(b.prompter.errors.isEmpty());
}

void TestChipOpsEmu::unansweredCommandWaitsAndStopReturnsToIdle() {
    Bench b;
    // The second command, the scan, is swallowed: it gets no reply at all.
    QVERIFY(b.start(threeMessages, {QStringLiteral("--silent"), QStringLiteral("2")}));
    b.run("PlayfromISD2");
    QVERIFY(b.emu.waitForLog(QStringLiteral("Scan start 00000")));
    QCOMPARE(b.state().link.LinkState, 4);
    b.state().handlers.run(Handler::StopChip);
    QCOMPARE(b.state().link.LinkState, 3);
    QVERIFY(b.state().link.StopRequested);
    // The window still answers: a new command goes out.
    b.run("PowerUp");
    QVERIFY(b.emu.waitForLog(QStringLiteral("PowerUp")));
}

void TestChipOpsEmu::hangUpDuringRecordingLeavesNotConnected() {
    Bench b;
    QVERIFY(b.start("vokar-emu image\nchip 1\n",
                    {QStringLiteral("--hangup-after"), QStringLiteral("4")}));
    b.state().fileGrid.setCell(FileColumn::Start, 1, QStringLiteral("00000"));
    b.state().fileGrid.setCell(FileColumn::Stop, 1, QStringLiteral("not used"));
    b.state().fileGrid.setCell(FileColumn::File, 1, QStringLiteral("/s/long.wav"));
    b.state().availability.UpdateMenu();
    b.run("RecordISD");
    QTRY_VERIFY_WITH_TIMEOUT(!b.port.Active(), 10000);
    QTRY_COMPARE(b.state().panel.portNumber(), QStringLiteral("not connected"));
    // No reply can come to end it: the recording ends here, its playback too.
    QCOMPARE(b.state().link.LinkState, 3);
    QVERIFY(!b.player.IsPlaying());
    QCOMPARE(b.prompter.messages.size(), 1);
    QVERIFY(b.state().commands.isEnabled(QStringLiteral("RecordISD")));
}

QTEST_MAIN(TestChipOpsEmu)
#include "tst_chipops_emu.moc"
