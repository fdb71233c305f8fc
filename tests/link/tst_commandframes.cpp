#include "chips/chipcontrol.h"
#include "core/apperror.h"
#include "core/paneltexts.h"
#include "fakecomport.h"
#include "link/commandframe.h"
#include "link/commandframes.h"
#include "link/linkstate.h"

#include <QTest>

namespace {

QByteArray hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text));
}

// The window state a sender works on, brought up as at start-up: the frame
// cleared, then filled with FF, then the chip type applied (its set-chip
// frame goes out on the open port).
struct Window {
    PanelTexts panel;
    CommandFrame frame;
    FakeComPort port;
    ChipControl chip{panel, frame, port};
    LinkContext link;
    CommandFrames frames{frame, chip, link, panel, port};

    explicit Window(int chipType) {
        port.Open();
        frame.clear();
        frame.fillFF();
        chip.ChipType = static_cast<qint8>(chipType);
        chip.ApplyChipType();
    }

    QByteArray lastSent() const {
        return port.written.isEmpty() ? QByteArray() : port.written.last();
    }
    QByteArray bytes() const { return QByteArray(frame.data(), CommandFrame::Size); }

    // A single play from the address on the display, as Play from ISD sends it.
    void play(const char* shown) {
        port.PurgeRead();
        panel.setText(PanelTexts::Address, QString::fromLatin1(shown));
        frames.prepare(CommandCode::Play);
        frames.setStopAtLastAddress();
        frames.setPower(link.PowerSetting);
        frames.sendWhenOutputIdle();
    }
    // Erase on a type 1 to 40: a recording from address 0.
    void eraseOldType() {
        panel.setText(PanelTexts::Address, QStringLiteral("00000"));
        frames.prepare(CommandCode::Record);
        frames.sendWhenOutputIdle();
    }
    // Recording one file with no stop address: the copy of the last address
    // is written before the chip type's fields.
    void recordSingleFile(const char* shown) {
        port.PurgeRead();
        frames.setStopAtLastAddress();
        frames.setLastAddressCopyLowFirst();
        panel.setText(PanelTexts::Address, QString::fromLatin1(shown));
        frames.prepare(CommandCode::Record);
        frames.sendWhenOutputIdle();
    }
};

} // namespace

class TestCommandFrames : public QObject {
    Q_OBJECT
private slots:
    void startUpSendsSetChipFrameWithUntouchedBytesFF() {
        Window w(1);
        QCOMPARE(w.port.written.size(), 1);
        QCOMPARE(w.lastSent(), hex("05FFFF01FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"));
    }

    void powerUpRightAfterStartUpCarriesFFWhereNothingWrote_data() {
        QTest::addColumn<int>("chipType");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("ISD 33060") << 1 << hex("07FFFF01FFFFFF01FFFFFFFFFFFFFFFFFFFFFFFF");
        QTest::newRow("ISD 4004-08") << 17 << hex("07FFFF02FFFFFF01FFFFFFFFFFFFFFFFFFFFFFFF");
        QTest::newRow("ISD 5116 8 kHz") << 25 << hex("07FFFF04FFFFFF01FF30FFFFFFFFFFFFFFFFFFFF");
        // The set-chip routine leaves the last address low byte first in 10-11.
        QTest::newRow("ISD 1730") << 41 << hex("07FFFF05FFFFFF01FFFFFF00FFFFFFFFFFFFFFFF");
    }
    void powerUpRightAfterStartUpCarriesFFWhereNothingWrote() {
        QFETCH(int, chipType);
        QFETCH(QByteArray, expected);
        Window w(chipType);
        w.frames.PowerUp();
        QCOMPARE(w.port.written.size(), 2);
        QCOMPARE(w.lastSent(), expected);
        QCOMPARE(w.link.PowerSetting, quint8(1));
    }

    void powerDownClearsFlagAndSetting() {
        Window w(1);
        w.frames.PowerUp();
        w.frames.PowerDown();
        QCOMPARE(w.lastSent(), hex("08FFFF01FFFFFF00FFFFFFFFFFFFFFFFFFFFFFFF"));
        QCOMPARE(w.link.PowerSetting, quint8(0));
    }

    void playAt291OnIsd33060() {
        Window w(1);
        w.play("00291");
        QCOMPARE(w.lastSent(), hex("010123010001"
                                   "8F00"
                                   "FFFFFFFFFFFFFFFFFFFFFFFF"));
        QCOMPARE(w.link.CurrentAddress, quint16(291));
    }

    void playTwiceWhileOutputPendingSendsOneFrame() {
        Window w(1);
        w.port.written.clear();
        w.play("00010");
        w.port.pendingOutput = 20;
        w.play("00010");
        QCOMPARE(w.port.written.size(), 1);
    }

    void transferAddressKeepsDisplayedValueButLowersCurrentAddress_data() {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QByteArray>("bytes12");
        QTest::addColumn<int>("current");
        QTest::newRow("inside") << QStringLiteral("00016") << hex("0010") << 16;
        QTest::newRow("above last") << QStringLiteral("00500") << hex("01F4") << 399;
        QTest::newRow("above 65535") << QStringLiteral("65537") << hex("0001") << 1;
    }
    void transferAddressKeepsDisplayedValueButLowersCurrentAddress() {
        QFETCH(QString, shown);
        QFETCH(QByteArray, bytes12);
        QFETCH(int, current);
        Window w(1);
        w.panel.setText(PanelTexts::Address, shown);
        w.frames.TransferAddress();
        QCOMPARE(w.bytes().mid(1, 2), bytes12);
        QCOMPARE(int(w.link.CurrentAddress), current);
    }

    void addressThatIsNotANumberRaisesAndSendsNothing() {
        Window w(1);
        w.port.written.clear();
        w.panel.setText(PanelTexts::Address, QStringLiteral("12a45"));
        const QByteArray before = w.bytes();
        QVERIFY_THROWS_EXCEPTION(AppError, w.play("12a45"));
        QCOMPARE(w.bytes(), before);
        QVERIFY(w.port.written.isEmpty());
    }

    void eraseOnOldTypeSendsRecordFromZeroWithBytes4To8AsLeft() {
        Window w(1);
        w.play("00291");
        w.eraseOldType();
        QCOMPARE(w.lastSent(), hex("020000010001"
                                   "8F00"
                                   "FFFFFFFFFFFFFFFFFFFFFFFF"));
    }

    void eraseOnOldTypeAfterScanKeepsScanByte() {
        Window w(1);
        w.panel.setText(PanelTexts::Address, QStringLiteral("00000"));
        w.frames.prepare(CommandCode::Scan);
        w.frames.setStopAtLastAddress();
        w.frames.setPower(1);
        w.frames.clearScanByte();
        w.frames.send();
        QCOMPARE(w.lastSent(), hex("040000010001"
                                   "8F0100"
                                   "FFFFFFFFFFFFFFFFFFFFFF"));
        w.eraseOldType();
        QCOMPARE(w.lastSent(), hex("020000010001"
                                   "8F0100"
                                   "FFFFFFFFFFFFFFFFFFFFFF"));
    }

    void bytes9To12AfterSwitchingTypesKeepWhatEarlierTypesLeft() {
        Window w(25);         // ISD 5116 at 8 kHz writes byte 9
        w.chip.ChipType = 41; // then ISD 1730
        w.chip.ApplyChipType();
        w.play("00016");
        QCOMPARE(w.lastSent().mid(9, 4), hex("3000FF01"));
        w.chip.ChipType = 1; // then ISD 33060, which writes none of them
        w.chip.ApplyChipType();
        QCOMPARE(w.lastSent(), hex("05"
                                   "0010"
                                   "01"
                                   "00"
                                   "00FF"
                                   "00"
                                   "FF"
                                   "3000FF01"
                                   "FFFFFFFFFFFFFF"));
        w.play("00291");
        QCOMPARE(w.lastSent(), hex("010123010001"
                                   "8F00"
                                   "FF"
                                   "3000FF01"
                                   "FFFFFFFFFFFFFF"));
    }

    void singleFileRecordCarriesLastAddressHighFirstOnIsd1700() {
        Window w(41); // ISD 1730, last address 255
        w.recordSingleFile("00016");
        QCOMPARE(w.lastSent(), hex("020010050000"
                                   "FFFFFF"
                                   "FF"
                                   "00FF01"
                                   "FFFFFFFFFFFFFF"));
    }

    void singleFileRecordCarriesLastAddressLowFirstOnOtherTypes() {
        Window w(1);
        w.recordSingleFile("00100");
        QCOMPARE(w.lastSent(), hex("020064010001"
                                   "8FFF"
                                   "FF"
                                   "FF"
                                   "8F01"
                                   "FF"
                                   "FFFFFFFFFFFFFF"));
    }

    void stopAddressFromFileTableSetsStopGiven() {
        Window w(1);
        w.frames.setStopAddress(0x0123);
        QCOMPARE(w.bytes().mid(4, 3), hex("010123"));
        w.frames.setStopAtLastAddress();
        QCOMPARE(w.bytes().mid(4, 3), hex("00018F"));
    }

    void stepPowerIsOneWhileAnotherRowFollows_data() {
        QTest::addColumn<bool>("follows");
        QTest::addColumn<int>("setting");
        QTest::addColumn<int>("expected");
        QTest::newRow("follows, off") << true << 0 << 1;
        QTest::newRow("last, off") << false << 0 << 0;
        QTest::newRow("last, on") << false << 1 << 1;
    }
    void stepPowerIsOneWhileAnotherRowFollows() {
        QFETCH(bool, follows);
        QFETCH(int, setting);
        QFETCH(int, expected);
        Window w(1);
        w.link.PowerSetting = static_cast<quint8>(setting);
        w.frames.setStepPower(follows);
        QCOMPARE(int(w.frame[FrameByte::PowerFlag]), expected);
    }

    void writingOnClosedPortDropsFrameWithoutError() {
        Window w(1);
        w.port.Close();
        w.port.written.clear();
        w.play("00291");
        QVERIFY(w.port.written.isEmpty());
        QCOMPARE(w.lastSent(), QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestCommandFrames)
#include "tst_commandframes.moc"
