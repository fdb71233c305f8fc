#include "widgets/addressdialog.h"
#include "wiredprogram.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

QByteArray hex(const QByteArray& bytes) {
    return bytes.toHex(' ').toUpper();
}

// The program as start-up builds it, on fakes, with the port open and the
// set-chip frame of start-up already taken off the line.
struct Program : FakeProgram {
    explicit Program(int chipType = 1) : FakeProgram(SettingsFile().chipType(chipType).text()) {
        port.written.clear();
    }
    QString cell(const StringGrid& grid, int col, int row) const { return grid.cell(col, row); }
    void addFile(int row, const QString& start, const QString& stop, const QString& file) {
        state().fileGrid.setCell(FileColumn::Start, row, start);
        state().fileGrid.setCell(FileColumn::Stop, row, stop);
        state().fileGrid.setCell(FileColumn::File, row, file);
        state().availability.UpdateMenu();
    }
    void addRecord(int row, int start, int eom) {
        state().mapGrid.setCell(MapColumn::Start, row, QString::asprintf("%05d", start));
        state().mapGrid.setCell(MapColumn::StartHex, row, QString::asprintf("%04X", start));
        state().mapGrid.setCell(MapColumn::Eom, row, QString::asprintf("%05d", eom));
        state().mapGrid.setCell(MapColumn::EomHex, row, QString::asprintf("%04X", eom));
    }
    void showAddress(const char* text) {
        state().panel.setText(PanelTexts::Address, QString::fromLatin1(text));
    }
};

constexpr char Idle = 3;

} // namespace

class TestChipOps : public QObject {
    Q_OBJECT

private slots:
    void replyWaitsForTwentyBytes();
    void everyReplyOfADeliveryCountsInOrder();
    void unknownReplyChangesNothing();
    void badAddressDigitsAreNoReplyAndLinkGoesOn();

    void playFromIsdSendsDocumentedFrame();
    void playChosenTwiceWhileOutputPendingSendsOnce();
    void powerUpThenPlayCarriesPowerFlag();
    void playEndSelectsRecordAtOrAfterAddress_data();
    void playEndSelectsRecordAtOrAfterAddress();
    void playTableWalksEveryRecordWithPowerFlags();
    void playTableOnSingleRecordSendsUserPower();

    void scanBuildsMapRowByRowAndEndsAtEndOfMemory();
    void scanOnIsd1700StartsAt16AndShowsRosc();
    void stopDuringScanStopsAtNextEndOfMessage();
    void scanReplyBeyondChipEmptiesMap();
    void scanOverflowGivesRecordWithoutEnd();
    void stopWhileIdleOnlyFlagsStop();

    void checkRecordsOnEmptyTableDoesNothing();
    void checkRecordsWalksTheFileTable();

    void eraseUsesRecordCodeOnOlderChips_data();
    void eraseUsesRecordCodeOnOlderChips();

    void readyReplyAnsweredWithSetChip();
    void noDeviceEndsOperationAndClearsPower();
    void progressBeyondChipStopsWithErrors();
    void circularFailMessage();

    void recordOneFileFromStartToFinish();
    void recordFrameCarriesStopAddress_data();
    void recordFrameCarriesStopAddress();
    void recordOnIsd1700WritesLastAddressHighFirst();
    void recordMissingFileSaysFileNotFound();
    void recordRowWithoutFileSendsNothing();
    void recordTableSendsPowerFlagUntilLastRow();
    void stopDuringTableRecordingEndsAfterCurrentRow();
    void tableRowThatCannotOpenEndsTheTable();
    void overflowDuringRecordingStopsPlayer();

    void changeCurrentAddressShowsTimeToEnd();

    void vanishingDeviceEndsTheOperationWithOneMessage_data();
    void vanishingDeviceEndsTheOperationWithOneMessage();
    void statusBarCountsNoiseAndTellsSilence();
};

void TestChipOps::replyWaitsForTwentyBytes() {
    Program p;
    p.run("PowerUp");
    p.port.written.clear();
    const QByteArray ready = replyFrame(';', 0, '1');
    p.port.feed(ready.left(19));
    QCOMPARE(p.sent(), 0);
    p.port.feed(ready.mid(19));
    QCOMPARE(p.sent(), 1);
    QCOMPARE(p.lastFrame().at(0), char(5));
}

void TestChipOps::everyReplyOfADeliveryCountsInOrder() {
    Program p;
    p.port.feed(replyFrame(';', 0, '1') + replyFrame('<'));
    QCOMPARE(p.sent(), 1); // the set-chip answer
    QCOMPARE(p.lastFrame().at(7), char(1));
    // Then "<", which clears the power setting.
    QCOMPARE(p.prompter.messages, QStringList({QStringLiteral("Device not detected !"),
                                               QStringLiteral("Please select right ISD device")}));
    QCOMPARE(p.state().link.PowerSetting, quint8(0));
    QCOMPARE(p.port.ReadBufUsed(), 0);
}

void TestChipOps::unknownReplyChangesNothing() {
    Program p;
    p.showAddress("00123");
    p.answer('6', 300);
    QCOMPARE(p.sent(), 0);
    QCOMPARE(p.state().panel.address(), QStringLiteral("00123"));
    QVERIFY(p.prompter.messages.isEmpty());
}

void TestChipOps::badAddressDigitsAreNoReplyAndLinkGoesOn() {
    Program p;
    p.run("PlayfromISD2");
    QByteArray bad = replyFrame('4', 0);
    bad.replace(1, 5, "12a45");
    p.port.feed(bad);
    // Not a reply: dropped as noise, and counted.
    QVERIFY(p.prompter.errors.isEmpty());
    QCOMPARE(p.state().link.NoiseBytesDropped, quint64(bad.size()));
    QCOMPARE(int(p.state().link.LinkState), 4);
    p.answer('4', 100);
    QCOMPARE(p.cell(p.state().mapGrid, MapColumn::Eom, 1), QStringLiteral("00099"));
}

void TestChipOps::playFromIsdSendsDocumentedFrame() {
    Program p;
    p.showAddress("00291");
    p.run("SpeedButton8");
    QCOMPARE(hex(p.lastFrame()),
             QByteArray("01 01 23 01 00 01 8F 00 FF FF FF FF FF FF FF FF FF FF FF FF"));
    QCOMPARE(p.state().link.LinkState, 1);
    QVERIFY(!p.state().link.StopRequested);
}

void TestChipOps::playChosenTwiceWhileOutputPendingSendsOnce() {
    Program p;
    p.run("Loadlist2");
    p.port.pendingOutput = 20;
    p.run("Loadlist2");
    QCOMPARE(p.sent(), 1);
}

void TestChipOps::powerUpThenPlayCarriesPowerFlag() {
    Program p;
    p.run("PowerUp");
    // Right after start-up only the set-chip frame has gone out before it.
    QCOMPARE(hex(p.lastFrame()),
             QByteArray("07 FF FF 01 FF FF FF 01 FF FF FF FF FF FF FF FF FF FF FF FF"));
    p.run("SpeedButton8");
    QCOMPARE(p.lastFrame().at(7), char(1));
    p.run("PowerDown");
    QCOMPARE(p.lastFrame().at(0), char(8));
    QCOMPARE(p.lastFrame().at(7), char(0));
}

void TestChipOps::playEndSelectsRecordAtOrAfterAddress_data() {
    QTest::addColumn<int>("ended");
    QTest::addColumn<int>("row");
    QTest::newRow("exactly at record 2") << 100 << 2;
    QTest::newRow("one before record 3") << 199 << 3;
    QTest::newRow("between records") << 150 << 1;
}

void TestChipOps::playEndSelectsRecordAtOrAfterAddress() {
    QFETCH(int, ended);
    QFETCH(int, row);
    Program p;
    p.addRecord(1, 0, 99);
    p.addRecord(2, 100, 199);
    p.addRecord(3, 200, 299);
    p.run("SpeedButton8");
    p.answer('5', ended);
    QCOMPARE(p.state().link.LinkState, int(Idle));
    QCOMPARE(p.state().mapGrid.Row(), row);
    QVERIFY(p.enabled("SpeedButton8"));
    QVERIFY(p.enabled("Erase1"));
}

void TestChipOps::playTableWalksEveryRecordWithPowerFlags() {
    Program p;
    p.addRecord(1, 0, 99);
    p.addRecord(2, 100, 199);
    p.addRecord(3, 200, 299);
    p.run("Playtable1");
    QCOMPARE(p.state().panel.address(), QStringLiteral("00000"));
    QCOMPARE(hex(p.lastFrame().left(8)), QByteArray("01 00 00 01 00 01 8F 01"));
    QCOMPARE(p.state().link.LinkState, 5);
    p.answer('5', 100);
    QCOMPARE(hex(p.lastFrame().left(8)), QByteArray("01 00 64 01 00 01 8F 01"));
    QCOMPARE(p.state().mapGrid.Row(), 2);
    p.answer('5', 200);
    QCOMPARE(hex(p.lastFrame().left(8)), QByteArray("01 00 C8 01 00 01 8F 00"));
    const int before = p.sent();
    p.answer('5', 300);
    QCOMPARE(p.sent(), before);
    QCOMPARE(p.state().link.LinkState, int(Idle));
}

void TestChipOps::playTableOnSingleRecordSendsUserPower() {
    Program p;
    p.addRecord(1, 50, 99);
    p.run("PowerUp");
    p.run("PowerDown");
    p.run("Playtable1");
    QCOMPARE(p.lastFrame().at(7), char(0));
    QCOMPARE(p.lastFrame().at(2), char(50));
}

void TestChipOps::scanBuildsMapRowByRowAndEndsAtEndOfMemory() {
    Program p;
    p.showAddress("00123");
    p.run("PlayfromISD2");
    QCOMPARE(p.w().pages()->currentIndex(), 1);
    QCOMPARE(hex(p.lastFrame().left(9)), QByteArray("04 00 00 01 00 01 8F 00 00"));
    QCOMPARE(p.state().link.LinkState, 4);
    p.answer('4', 150);
    QCOMPARE(p.cell(p.state().mapGrid, MapColumn::Start, 1), QStringLiteral("00000"));
    QCOMPARE(p.cell(p.state().mapGrid, MapColumn::EomHex, 1), QStringLiteral("0095"));
    QCOMPARE(hex(p.lastFrame().left(3)), QByteArray("04 00 96"));
    QVERIFY(!p.enabled("SpeedButton8"));
    QVERIFY(p.enabled("StopISD"));
    p.answer('4', 400);
    QCOMPARE(p.cell(p.state().mapGrid, MapColumn::Start, 2), QStringLiteral("00150"));
    QCOMPARE(p.cell(p.state().mapGrid, MapColumn::Eom, 2), QStringLiteral("00399"));
    QCOMPARE(p.cell(p.state().mapGrid, MapColumn::Start, 3), QString());
    QCOMPARE(p.cell(p.state().mapGrid, MapColumn::Ovf, 3), QStringLiteral("00400"));
    QCOMPARE(p.cell(p.state().mapGrid, MapColumn::OvfHex, 3), QStringLiteral("0190"));
    QCOMPARE(p.state().mapGrid.RowCount(), 123); // one row more for each row added
    QCOMPARE(p.lastFrame().at(0), char(3));
    QCOMPARE(p.state().link.LinkState, int(Idle));
    QCOMPARE(p.state().mapGrid.Row(), 1);
    QCOMPARE(p.state().panel.address(), QStringLiteral("00000"));
    QCOMPARE(p.state().panel.timeToEnd(), QStringLiteral("  60.00 sek."));
    QVERIFY(p.enabled("SpeedButton8"));
    QVERIFY(p.enabled("SaveMap"));
}

void TestChipOps::scanOnIsd1700StartsAt16AndShowsRosc() {
    Program p(42); // ISD 1740: rows up to 335, nine address bits
    p.run("PlayfromISD2");
    QCOMPARE(hex(p.lastFrame().left(3)), QByteArray("04 00 10"));
    p.answer('4', 0x0123 + 0x200); // the chip reports more bits than it has
    QCOMPARE(p.cell(p.state().mapGrid, MapColumn::Eom, 1), QStringLiteral("00290"));
    QCOMPARE(p.state().panel.timeToEnd(), QStringLiteral("Rosc"));
    p.answer('4', 336);
    QCOMPARE(p.state().panel.address(), QStringLiteral("00016"));
    QCOMPARE(p.state().panel.addressHex(), QStringLiteral("0010"));
}

void TestChipOps::stopDuringScanStopsAtNextEndOfMessage() {
    Program p;
    p.run("PlayfromISD2");
    QVERIFY(!p.enabled("StopISD")); // nothing changes before the first reply
    p.answer('4', 50);
    p.run("StopISD");
    QCOMPARE(p.sent(), 2);
    QCOMPARE(p.state().link.LinkState, int(Idle));
    p.answer('4', 77);
    // The stop already made the link idle: the reply is only answered with
    // the stop, the map keeps the records found before.
    QCOMPARE(p.cell(p.state().mapGrid, MapColumn::Start, 2), QString());
    QCOMPARE(p.cell(p.state().mapGrid, MapColumn::Eom, 1), QStringLiteral("00049"));
    QCOMPARE(p.lastFrame().at(0), char(3));
    QVERIFY(!p.state().link.StopRequested);
    p.answer('4', 99); // a late reply in idle without a stop request: nothing
    QCOMPARE(p.sent(), 3);
}

void TestChipOps::scanReplyBeyondChipEmptiesMap() {
    Program p;
    p.run("PlayfromISD2");
    p.answer('4', 100);
    p.answer('4', 900);
    QCOMPARE(p.prompter.messages, QStringList({QStringLiteral("ISD max adress error"),
                                               QStringLiteral("Please select right ISD device")}));
    QCOMPARE(p.cell(p.state().mapGrid, MapColumn::Start, 1), QString());
    QCOMPARE(p.state().mapGrid.RowCount(), 120);
    QCOMPARE(p.lastFrame().at(0), char(3));
    QCOMPARE(p.state().link.LinkState, int(Idle));
}

void TestChipOps::scanOverflowGivesRecordWithoutEnd() {
    Program p;
    p.run("PlayfromISD2");
    p.answer('4', 100);
    const int before = p.sent();
    p.answer('9', 400);
    QCOMPARE(p.sent(), before);
    QCOMPARE(p.cell(p.state().mapGrid, MapColumn::Start, 2), QStringLiteral("00100"));
    QCOMPARE(p.cell(p.state().mapGrid, MapColumn::Eom, 2), QString());
    QCOMPARE(p.cell(p.state().mapGrid, MapColumn::Ovf, 2), QStringLiteral("00400"));
    QCOMPARE(p.state().link.LinkState, int(Idle));
}

void TestChipOps::stopWhileIdleOnlyFlagsStop() {
    Program p;
    p.state().link.StopRequested = false;
    p.state().handlers.run(Handler::StopChip);
    QCOMPARE(p.sent(), 0);
    QVERIFY(p.state().link.StopRequested);
    p.answer('4', 10);
    QCOMPARE(p.lastFrame().at(0), char(3));
    QVERIFY(!p.state().link.StopRequested);
}

void TestChipOps::checkRecordsOnEmptyTableDoesNothing() {
    Program p;
    p.state().commands.action(QStringLiteral("CheckRecords1"))->setEnabled(true);
    p.run("CheckRecords1");
    QCOMPARE(p.sent(), 0);
    QCOMPARE(p.w().pages()->currentIndex(), 0);
}

void TestChipOps::checkRecordsWalksTheFileTable() {
    Program p;
    p.addFile(1, QStringLiteral("not used"), QStringLiteral("not used"), QStringLiteral("/a.wav"));
    p.addFile(2, QStringLiteral("00200"), QStringLiteral("not used"), QStringLiteral("/b.wav"));
    p.addFile(3, QStringLiteral("not used"), QStringLiteral("not used"), QStringLiteral("/c.wav"));
    p.run("CheckRecords1");
    QCOMPARE(p.w().pages()->currentIndex(), 1);
    QCOMPARE(hex(p.lastFrame().left(9)), QByteArray("04 00 00 01 00 01 8F 01 00"));
    p.answer('4', 120);
    QCOMPARE(hex(p.lastFrame().left(8)), QByteArray("04 00 C8 01 00 01 8F 01"));
    p.answer('4', 260);
    // Row 3 has no start: it is looked for where the previous record ended.
    QCOMPARE(hex(p.lastFrame().left(8)), QByteArray("04 01 04 01 00 01 8F 00"));
    p.answer('4', 300);
    QCOMPARE(hex(p.lastFrame().left(8)), QByteArray("03 01 04 01 00 01 8F 00"));
    QCOMPARE(p.state().link.LinkState, int(Idle));
    QCOMPARE(p.cell(p.state().mapGrid, MapColumn::Start, 2), QStringLiteral("00200"));
    QCOMPARE(p.cell(p.state().mapGrid, MapColumn::Eom, 3), QStringLiteral("00299"));
    QCOMPARE(p.state().panel.address(), QStringLiteral("00000"));
    QVERIFY(p.enabled("CheckRecords1"));
}

void TestChipOps::eraseUsesRecordCodeOnOlderChips_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("code");
    QTest::newRow("ISD 33060") << 1 << 2;
    QTest::newRow("ISD 5116") << 25 << 2;
    QTest::newRow("ISD 1730") << 41 << 10;
}

void TestChipOps::eraseUsesRecordCodeOnOlderChips() {
    QFETCH(int, type);
    QFETCH(int, code);
    Program p(type);
    p.showAddress("00300");
    p.run("PlayfromISD2"); // leaves bytes 4-8 behind
    p.answer('4', 50);
    p.run("StopISD");
    p.answer('4', 60);
    const QByteArray previous = p.lastFrame();
    p.run("Erase1");
    QCOMPARE(int(p.lastFrame().at(0)), code);
    QCOMPARE(hex(p.lastFrame().mid(1, 2)), QByteArray("00 00"));
    if (code == 2)
        QCOMPARE(p.lastFrame().mid(4, 5), previous.mid(4, 5));
    QCOMPARE(p.state().link.LinkState, 22);
    p.answer(':');
    QVERIFY(p.enabled("Stop2"));
    QVERIFY(p.player.calls.filter(QStringLiteral("Play")).isEmpty());
    p.answer('1', 399);
    QCOMPARE(p.state().link.LinkState, int(Idle));
}

void TestChipOps::readyReplyAnsweredWithSetChip() {
    Program p;
    p.showAddress("00010");
    p.run("SpeedButton8");
    p.answer(';', 0, '1');
    QCOMPARE(hex(p.lastFrame().left(8)), QByteArray("05 00 0A 01 00 01 8F 01"));
    QCOMPARE(p.state().link.PowerSetting, quint8(1));
    QCOMPARE(p.state().link.LinkState, 1);
}

void TestChipOps::noDeviceEndsOperationAndClearsPower() {
    Program p;
    p.run("PowerUp");
    p.run("PlayfromISD2");
    const int before = p.sent();
    p.answer('<');
    QCOMPARE(p.sent(), before);
    QCOMPARE(p.prompter.messages, QStringList({QStringLiteral("Device not detected !"),
                                               QStringLiteral("Please select right ISD device")}));
    QCOMPARE(p.state().link.PowerSetting, quint8(0));
    QCOMPARE(p.state().link.LinkState, int(Idle));
    QVERIFY(p.enabled("PlayfromISD2"));
}

void TestChipOps::progressBeyondChipStopsWithErrors() {
    Program p;
    p.run("SpeedButton8");
    p.answer('2', 10);
    QCOMPARE(p.lastFrame().at(0), char(6));
    QVERIFY(!p.enabled("SpeedButton8"));
    p.answer('3', 401);
    QCOMPARE(p.lastFrame().at(0), char(3));
    QCOMPARE(p.prompter.messages.size(), 2);
    QCOMPARE(p.state().link.LinkState, int(Idle));
    QVERIFY(p.enabled("SpeedButton8"));
}

void TestChipOps::circularFailMessage() {
    Program p;
    p.run("PlayfromISD2");
    p.answer('=');
    QCOMPARE(p.prompter.messages, QStringList{QStringLiteral("Circular memory structure fail!")});
    QCOMPARE(p.state().link.LinkState, int(Idle));
}

void TestChipOps::recordOneFileFromStartToFinish() {
    Program p;
    p.addFile(1, QStringLiteral("00100"), QStringLiteral("not used"),
              QStringLiteral("/s/bell.wav"));
    p.state().fileGrid.setRow(1);
    p.run("RecordISD");
    QCOMPARE(p.player.calls, QStringList{QStringLiteral("Open /s/bell.wav")});
    QCOMPARE(hex(p.lastFrame().left(7)), QByteArray("02 00 64 01 00 01 8F"));
    QCOMPARE(p.state().link.LinkState, 2);
    p.answer(':');
    QVERIFY(p.player.IsPlaying());
    QVERIFY(p.enabled("Stop2"));
    QVERIFY(!p.enabled("RecordISD"));
    p.answer('2', 110);
    QCOMPARE(p.lastFrame().at(0), char(6));
    QCOMPARE(p.state().panel.address(), QStringLiteral("00110"));
    // The file has been played to its end: the next progress reply stops.
    p.player.finish();
    QVERIFY(p.state().link.StopRequested);
    p.answer('2', 120);
    QCOMPARE(p.lastFrame().at(0), char(3));
    p.answer('1', 121);
    QCOMPARE(p.state().link.LinkState, int(Idle));
    QCOMPARE(p.state().panel.address(), QStringLiteral("00121"));
    QCOMPARE(p.state().panel.addressHex(), QStringLiteral("0079"));
    QVERIFY(p.enabled("RecordISD"));
    QVERIFY(p.enabled("SpeedButton8"));
}

void TestChipOps::recordFrameCarriesStopAddress_data() {
    QTest::addColumn<QString>("stop");
    QTest::addColumn<QByteArray>("fields");
    QTest::newRow("with stop") << QStringLiteral("00300") << QByteArray("01 01 2C");
    QTest::newRow("without stop") << QStringLiteral("not used") << QByteArray("00 01 8F");
}

void TestChipOps::recordFrameCarriesStopAddress() {
    QFETCH(QString, stop);
    Program p;
    p.addFile(1, QStringLiteral("00100"), stop, QStringLiteral("/s/a.wav"));
    p.run("RecordfiletoISD1");
    QTEST(hex(p.lastFrame().mid(4, 3)), "fields");
    // Bytes 10-11: the last address low byte first on the older chips.
    QCOMPARE(hex(p.lastFrame().mid(10, 2)), QByteArray("8F 01"));
}

void TestChipOps::recordOnIsd1700WritesLastAddressHighFirst() {
    Program p(42);
    p.addFile(1, QStringLiteral("00016"), QStringLiteral("not used"), QStringLiteral("/s/a.wav"));
    p.run("RecordISD");
    QCOMPARE(hex(p.lastFrame().mid(10, 3)), QByteArray("01 4F 02"));
}

void TestChipOps::recordMissingFileSaysFileNotFound() {
    Program p;
    p.addFile(1, QStringLiteral("00100"), QStringLiteral("not used"), QStringLiteral("/gone.wav"));
    p.player.missing.append(QStringLiteral("/gone.wav"));
    p.state().link.StopRequested = true;
    p.run("RecordISD");
    QCOMPARE(p.prompter.messages, QStringList{QStringLiteral("File not found")});
    QCOMPARE(p.sent(), 0);
    QCOMPARE(p.state().link.LinkState, int(Idle));
    QVERIFY(p.state().link.StopRequested);
}

void TestChipOps::recordRowWithoutFileSendsNothing() {
    Program p;
    p.addFile(1, QStringLiteral("00100"), QStringLiteral("not used"), QStringLiteral("/a.wav"));
    p.state().fileGrid.setRow(5);
    p.state().link.StopRequested = true;
    p.run("RecordISD");
    QCOMPARE(p.sent(), 0);
    QVERIFY(!p.state().link.StopRequested);
}

void TestChipOps::recordTableSendsPowerFlagUntilLastRow() {
    Program p;
    p.addFile(1, QStringLiteral("00000"), QStringLiteral("not used"), QStringLiteral("/a.wav"));
    p.addFile(2, QStringLiteral("not used"), QStringLiteral("not used"), QStringLiteral("/b.wav"));
    p.addFile(3, QStringLiteral("00300"), QStringLiteral("00350"), QStringLiteral("/c.wav"));
    p.run("RecTable");
    QCOMPARE(hex(p.lastFrame().left(8)), QByteArray("02 00 00 01 00 01 8F 01"));
    QCOMPARE(p.state().link.LinkState, 11);
    for (const auto& [end, expected] : {std::pair{120, QByteArray("02 00 78 01 00 01 8F 01")},
                                        std::pair{250, QByteArray("02 01 2C 01 01 01 5E 00")}}) {
        p.answer(':');
        QVERIFY(p.player.IsPlaying());
        p.answer('2', end - 1);
        p.player.finish();
        p.answer('2', end);
        QCOMPARE(p.lastFrame().at(0), char(3));
        p.answer('1', end);
        QCOMPARE(hex(p.lastFrame().left(8)), expected);
        QCOMPARE(p.state().link.LinkState, 11);
        QVERIFY(!p.enabled("SpeedButton8"));
    }
    QCOMPARE(p.state().fileGrid.Row(), 3);
    // Selecting row 3 ran the row's own behaviour: its start and time to end.
    QCOMPARE(p.state().panel.address(), QStringLiteral("00300"));
    QCOMPARE(p.state().panel.timeToEnd(), QStringLiteral("  15.00 sek."));
    p.answer(':');
    p.answer('1', 350); // the programmer reached the stop address first
    QVERIFY(!p.player.IsPlaying());
    QCOMPARE(p.state().link.LinkState, int(Idle));
    QCOMPARE(p.lastFrame().at(0), char(2)); // nothing more was sent
    QVERIFY(p.enabled("SpeedButton8"));
    QCOMPARE(p.player.calls.filter(QStringLiteral("Open")).size(), 3);
}

void TestChipOps::stopDuringTableRecordingEndsAfterCurrentRow() {
    Program p;
    for (int row = 1; row <= 3; ++row)
        p.addFile(row, QStringLiteral("not used"), QStringLiteral("not used"),
                  QStringLiteral("/%1.wav").arg(row));
    p.run("RecTable");
    p.answer(':');
    p.player.finish();
    p.answer('2', 50);
    p.answer('1', 50);
    p.answer(':');
    p.answer('2', 55);
    p.run("StopISD");
    QCOMPARE(p.lastFrame().at(0), char(6));
    p.answer('2', 60);
    QCOMPARE(p.lastFrame().at(0), char(3));
    QCOMPARE(p.lastFrame().at(7), char(0));
    const int before = p.sent();
    p.answer('1', 61);
    QCOMPARE(p.sent(), before);
    QCOMPARE(p.state().link.LinkState, int(Idle));
    QCOMPARE(p.player.calls.filter(QStringLiteral("Open")).size(), 2);
}

void TestChipOps::tableRowThatCannotOpenEndsTheTable() {
    Program p;
    p.addFile(1, QStringLiteral("not used"), QStringLiteral("not used"), QStringLiteral("/a.wav"));
    p.addFile(2, QStringLiteral("not used"), QStringLiteral("not used"),
              QStringLiteral("/gone.wav"));
    p.player.missing.append(QStringLiteral("/gone.wav"));
    p.run("RecTable");
    p.answer(':');
    p.player.finish();
    p.answer('2', 50);
    const int before = p.sent();
    p.answer('1', 50);
    QCOMPARE(p.prompter.errors.size(), 1);
    QCOMPARE(p.state().link.LinkState, int(Idle));
    // The programmer has just finished the row before: nothing is sent.
    QCOMPARE(p.sent(), before);
    QVERIFY(p.enabled("SpeedButton8"));
}

void TestChipOps::overflowDuringRecordingStopsPlayer() {
    Program p;
    p.addFile(1, QStringLiteral("00100"), QStringLiteral("not used"), QStringLiteral("/a.wav"));
    p.run("RecordISD");
    p.answer(':');
    p.answer('7', 399);
    QVERIFY(!p.player.IsPlaying());
    QCOMPARE(p.prompter.messages, QStringList{QStringLiteral("ISD memory overflow !")});
    QCOMPARE(p.state().link.LinkState, int(Idle));
    QCOMPARE(p.state().panel.address(), QStringLiteral("00000"));
    QVERIFY(p.enabled("RecordISD"));
}

void TestChipOps::changeCurrentAddressShowsTimeToEnd() {
    Program p;
    AddressDialog* dialog = p.windows.address;
    QTimer::singleShot(0, dialog, [dialog] {
        dialog->addressEdit->setText(QStringLiteral("200"));
        dialog->okButton->click();
    });
    p.run("ChangecurrentISDadress1");
    QCOMPARE(p.state().panel.address(), QStringLiteral("00200"));
    QCOMPARE(p.state().panel.timeToEnd(), QStringLiteral("  30.00 sek."));
    // The hexadecimal display follows.
    QCOMPARE(p.state().panel.addressHex(), QStringLiteral("00C8"));
    QCOMPARE(p.sent(), 0);
}

void TestChipOps::vanishingDeviceEndsTheOperationWithOneMessage_data() {
    QTest::addColumn<QByteArray>("action");
    QTest::addColumn<QByteArray>("replies");
    QTest::newRow("scan") << QByteArray("PlayfromISD2") << replyFrame('4', 50);
    QTest::newRow("play") << QByteArray("SpeedButton8") << replyFrame('2', 10);
    QTest::newRow("recording") << QByteArray("RecordISD") << replyFrame(':') + replyFrame('2', 110);
    QTest::newRow("table recording") << QByteArray("RecTable") << replyFrame(':');
}

void TestChipOps::vanishingDeviceEndsTheOperationWithOneMessage() {
    QFETCH(QByteArray, action);
    QFETCH(QByteArray, replies);
    Program p;
    p.addFile(1, QStringLiteral("00100"), QStringLiteral("not used"), QStringLiteral("/s/a.wav"));
    p.run(action.constData());
    p.port.feed(replies);
    QVERIFY(p.state().link.LinkState != Idle);
    p.port.vanish(QStringLiteral("unplugged"));
    QCOMPARE(p.state().link.LinkState, int(Idle));
    QVERIFY(!p.player.IsPlaying());
    QCOMPARE(p.prompter.messages.size(), 1);
    QVERIFY(p.prompter.messages.first().contains(QStringLiteral("disconnected")));
    QCOMPARE(p.state().panel.portNumber(), QStringLiteral("not connected"));
    QVERIFY(p.enabled("SpeedButton8"));
    QVERIFY(p.enabled("RecordISD"));
}

void TestChipOps::statusBarCountsNoiseAndTellsSilence() {
    Program p;
    auto* noise = p.w().statusBar()->findChild<QLabel*>(QStringLiteral("LineNoise"));
    auto* status = p.w().statusBar()->findChild<QLabel*>(QStringLiteral("LinkStatus"));
    QVERIFY(noise && status);
    QVERIFY(noise->isHidden());
    p.run("SpeedButton8");
    p.port.feed(QByteArray("\x01\x02\x03") + replyFrame('2', 10));
    QCOMPARE(p.lastFrame().at(0), char(6));
    QCOMPARE(noise->text(), QStringLiteral("line noise: 3 bytes dropped"));
    QVERIFY(!noise->isHidden());
    QCOMPARE(status->text(), QStringLiteral("Playing from row 0"));
    // Then nothing comes: after three report intervals the bar says so, and
    // the chip Stop sends its stop at once.
    QTRY_COMPARE_WITH_TIMEOUT(status->text(),
                              QStringLiteral("The programmer has not answered for 3 s"), 10000);
    QVERIFY(p.enabled("StopISD"));
    const int before = p.sent();
    p.run("StopISD");
    QCOMPARE(p.sent(), before + 1);
    QCOMPARE(p.lastFrame().at(0), char(3));
    QCOMPARE(status->text(), QStringLiteral("Playing stopped"));
}

QTEST_MAIN(TestChipOps)
#include "tst_chipops.moc"
