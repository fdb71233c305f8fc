#include "replyshaper.h"
#include "vokardevice.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

QByteArray command(quint8 code, int start = 0, int stop = 0, quint8 power = 0,
                   quint8 stopGiven = 0) {
    QByteArray frame(VokarDevice::FrameSize, char(0xFF));
    frame[0] = char(code);
    frame[1] = char(start >> 8);
    frame[2] = char(start & 0xFF);
    frame[3] = 1;
    frame[4] = char(stopGiven);
    frame[5] = char(stop >> 8);
    frame[6] = char(stop & 0xFF);
    frame[7] = char(power);
    return frame;
}

// The device with every reply it gave, and the times they came.
struct Bench {
    VokarDevice device;
    QList<QByteArray> replies;
    QList<double> times;

    explicit Bench(int chip) : device(chip) {
        device.progressIntervalMs = 1000;
        device.onReply = [this](const QByteArray& frame) {
            replies.append(frame);
            times.append(device.now());
        };
    }
    void send(const QByteArray& frame) { device.receive(frame); }
    // Runs the clock until the next reply, at most `limitMs` ahead.
    QByteArray next(double limitMs = 1e7) {
        const int before = replies.size();
        while (replies.size() == before) {
            const double due = device.nextEventAt();
            if (due < 0 || due > device.now() + limitMs)
                return QByteArray();
            device.advanceTo(due);
        }
        return replies.at(before);
    }
    // Records a message from `start` to `end` with the mark on `end`.
    void record(int start, int end) {
        send(command(2, start, end, 0, 1));
        while (true) {
            const QByteArray r = next();
            if (r.startsWith('1') || r.isEmpty())
                break;
            if (r.startsWith('2'))
                send(command(6));
        }
    }
};

QByteArray reply(char code, int address) {
    return VokarDevice::replyFrame(code, address);
}

} // namespace

class TestVokarDevice : public QObject {
    Q_OBJECT
private slots:
    void replyFrameHasCodeThenFiveDigits() {
        const QByteArray frame = VokarDevice::replyFrame('5', 291);
        QCOMPARE(frame.size(), 20);
        QCOMPARE(frame.left(6), QByteArray("500291"));
    }

    void rowTimeFollowsChipType_data() {
        QTest::addColumn<int>("chip");
        QTest::addColumn<double>("rowMs");
        QTest::addColumn<int>("firstRow");
        QTest::newRow("ISD 33060") << 1 << 150.0 << 0;
        QTest::newRow("ISD 4004-08") << 17 << 200.0 << 0;
        QTest::newRow("ISD 5116 8 kHz") << 25 << 524000.0 / 2048 << 0;
        QTest::newRow("ISD 1730 at 8 kHz, not its catalogue time") << 41 << 125.0 << 16;
    }
    void rowTimeFollowsChipType() {
        QFETCH(int, chip);
        QFETCH(double, rowMs);
        QFETCH(int, firstRow);
        const VokarDevice::Chip c = VokarDevice::chipFor(chip);
        QCOMPARE(c.rowMs, rowMs);
        QCOMPARE(int(c.firstRow), firstRow);
    }

    void timeScaleConvertsBothWays() {
        const VokarDevice::TimeScale scale{0.01};
        QCOMPARE(scale.deviceMs(600.0), 60000.0);
        QCOMPARE(scale.realMs(60000.0), 600.0);
    }

    void framesAreTakenTwentyBytesAtATime() {
        Bench b(1);
        const QByteArray power = command(7, 0, 0, 1);
        b.send(power.left(19));
        QCOMPARE(b.device.commandsReceived(), 0);
        b.send(power.mid(19) + command(8).left(5));
        QCOMPARE(b.device.commandsReceived(), 1);
        QCOMPARE(b.device.power(), 1);
    }

    void setChipAndPowerGetNoReply() {
        Bench b(1);
        b.send(command(5));
        b.send(command(7, 0, 0, 1));
        QCOMPARE(b.device.power(), 1);
        b.send(command(8));
        QCOMPARE(b.device.power(), 0);
        QVERIFY(b.replies.isEmpty());
    }

    void announceReportsPowerDigit() {
        Bench b(1);
        b.device.announce();
        b.send(command(7, 0, 0, 1));
        b.device.announce();
        QCOMPARE(b.replies.at(0).left(7), QByteArray(";000000"));
        QCOMPARE(b.replies.at(1).left(7), QByteArray(";000001"));
    }

    void recordRepliesAtOnceThenEndsWithNextFreeAddress() {
        Bench b(1);
        b.send(command(2, 10, 19, 0, 1));
        QCOMPARE(b.replies.first(), reply(':', 10));
        QCOMPARE(b.times.first(), 0.0);
        QCOMPARE(b.next(), reply('2', 16)); // 1000 ms at 150 ms a row
        QCOMPARE(b.next(), QByteArray());   // waits for the PC
        b.device.advanceTo(1300);
        b.send(command(6));
        QCOMPARE(b.next(), reply('1', 20));
        // Rows 10 to 19 took 1500 ms of recording, plus the 300 ms wait.
        QCOMPARE(b.times.last(), 1800.0);
        QCOMPARE(b.device.messages().size(), 1);
        QCOMPARE(b.device.messages().first().start, 10);
        QCOMPARE(b.device.messages().first().end, 19);
    }

    void stopWhileRecordingMarksTheRowReached() {
        Bench b(1);
        b.send(command(2, 0, 399));
        QCOMPARE(b.next(), reply('2', 6));
        b.send(command(3));
        QCOMPARE(b.replies.last(), reply('1', 7));
        QVERIFY(b.device.hasMark(6));
        QCOMPARE(b.device.activity(), VokarDevice::Activity::Idle);
    }

    void recordingWithMemoryFullRepliesSeven() {
        Bench b(1);
        b.send(command(2, 400, 399));
        QCOMPARE(b.replies, QList<QByteArray>{reply('7', 400)});
    }

    void recordingPastTheChipsEndRepliesOverflow() {
        Bench b(1);
        b.device.progressIntervalMs = 1e9;
        b.send(command(2, 390, 799));
        QCOMPARE(b.next(), reply('8', 400));
        QVERIFY(b.device.hasMark(399));
    }

    void playRunsToMarkWithProgressEachWaitingForContinue() {
        Bench b(1);
        b.record(0, 9);
        b.replies.clear();
        b.times.clear();
        const double start = b.device.now();
        b.send(command(1, 0, 399));
        QCOMPARE(b.next(), reply('2', 6));
        QCOMPARE(b.times.last() - start, 1000.0);
        QCOMPARE(b.device.nextEventAt(), -1.0);
        b.send(command(6));
        QCOMPARE(b.next(), reply('5', 10));
        QCOMPARE(b.times.last() - start, 1500.0);
    }

    void stopWhilePlayingRepliesAddressReached() {
        Bench b(1);
        b.record(0, 99);
        b.replies.clear();
        b.send(command(1, 0, 399));
        QCOMPARE(b.next(), reply('2', 6));
        b.send(command(3));
        QCOMPARE(b.replies.last(), reply('5', 6));
    }

    void scanRepliesAfterEachMark_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("first message") << 0 << reply('4', 10);
        QTest::newRow("second message") << 10 << reply('4', 30);
        QTest::newRow("message runs into the end") << 30 << reply('9', 400);
    }
    void scanRepliesAfterEachMark() {
        QFETCH(int, from);
        QFETCH(QByteArray, expected);
        Bench b(1);
        b.record(0, 9);
        b.record(10, 29);
        b.replies.clear();
        b.send(command(4, from, 399));
        QCOMPARE(b.next(), expected);
    }

    void scanWithMarkOnLastRowRepliesLastPlusOne() {
        Bench b(1);
        b.record(350, 399);
        b.replies.clear();
        b.send(command(4, 350, 399));
        QCOMPARE(b.next(), reply('4', 400));
    }

    void largerPhysicalChipRepliesBeyondTheChosenType() {
        Bench b(5); // ISD 33120: rows 0 to 799, while the PC thinks 399
        b.send(command(4, 0, 399));
        QCOMPARE(b.next(), reply('9', 800));
    }

    void oldTypeEraseRecordsSilenceToTheEnd() {
        Bench b(1);
        b.record(0, 9);
        b.device.progressIntervalMs = 1e9;
        b.send(command(2, 0, 399));
        QCOMPARE(b.next(), reply('1', 400));
        QCOMPARE(b.device.messages().size(), 1);
        QCOMPARE(b.device.messages().first().end, 399);
    }

    void isd1700EraseClearsMemoryAboveReservedRows() {
        Bench b(41);
        b.record(16, 40);
        b.replies.clear();
        b.send(command(10));
        QCOMPARE(b.replies.first(), reply(':', 16));
        QCOMPARE(b.next(), reply('1', 16));
        QVERIFY(b.device.messages().isEmpty());
    }

    void circularFailOnDemand() {
        Bench b(41);
        b.device.reportCircularFail();
        QCOMPARE(b.replies.first().at(0), '=');
    }

    void emptySocketAnswersChipCommandsWithNoDevice_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("answered");
        QTest::newRow("play") << 1 << true;
        QTest::newRow("record") << 2 << true;
        QTest::newRow("scan") << 4 << true;
        QTest::newRow("erase") << 10 << true;
        QTest::newRow("set chip") << 5 << false;
        QTest::newRow("power up") << 7 << false;
    }
    void emptySocketAnswersChipCommandsWithNoDevice() {
        QFETCH(int, code);
        QFETCH(bool, answered);
        Bench b(1);
        b.device.removeChip();
        b.send(command(quint8(code)));
        QCOMPARE(b.replies.size(), answered ? 1 : 0);
        if (answered)
            QCOMPARE(b.replies.first().at(0), '<');
    }

    void silentCommandIsSwallowed() {
        Bench b(1);
        b.device.silentCommand = 2;
        b.send(command(5));
        b.send(command(4, 0, 399));
        QCOMPARE(b.next(), QByteArray());
        b.send(command(4, 0, 399));
        QCOMPARE(b.next(), reply('9', 400));
    }

    void imageKeepsMessagesBetweenRuns() {
        Bench b(1);
        b.record(0, 9);
        b.record(20, 29);
        VokarDevice again(1);
        QVERIFY(again.loadImage(b.device.saveImage()));
        QCOMPARE(again.messages().size(), 2);
        QCOMPARE(again.messages().at(1).start, 20);
        VokarDevice other(5);
        QVERIFY(!other.loadImage(b.device.saveImage()));
    }

    void anyBytesFromTheLineLeaveTheDeviceWorking() {
        Bench b(41);
        QRandomGenerator random(20261208);
        for (int i = 0; i < 500; ++i) {
            QByteArray bytes(int(random.bounded(1, 41)), '\0');
            for (char& c : bytes)
                c = char(random.bounded(256));
            // Now and then a valid code, so that operations start and stop.
            bytes[0] = char(random.bounded(12));
            b.send(bytes);
            b.device.advanceTo(b.device.now() + random.bounded(5000));
        }
        QVERIFY(b.device.commandsReceived() > 100);
        for (const QByteArray& r : b.replies)
            QCOMPARE(r.size(), VokarDevice::FrameSize);
        // Framing is by count alone: after a reconnect the line is in step again.
        b.device.resetLine();
        b.device.removeChip();
        b.send(command(4));
        QCOMPARE(b.replies.last().at(0), '<');
    }

    void shaperSplitsFramesWithPauses() {
        ReplyShaper shaper;
        shaper.pieceSize = 7;
        shaper.piecePauseMs = 40;
        const QList<ReplyShaper::Write> writes = shaper.shape(reply('2', 5));
        QCOMPARE(writes.size(), 3);
        QCOMPARE(writes.at(0).pauseBeforeMs, 0);
        QCOMPARE(writes.at(1).pauseBeforeMs, 40);
        QCOMPARE(writes.at(0).bytes + writes.at(1).bytes + writes.at(2).bytes, reply('2', 5));
    }

    void shaperPairsFramesIntoOneWrite() {
        ReplyShaper shaper;
        shaper.pairFrames = true;
        QVERIFY(shaper.shape(reply(':', 0)).isEmpty());
        const QList<ReplyShaper::Write> writes = shaper.shape(reply('2', 3));
        QCOMPARE(writes.size(), 1);
        QCOMPARE(writes.first().bytes, reply(':', 0) + reply('2', 3));
        QVERIFY(shaper.shape(reply('1', 4)).isEmpty());
        QCOMPARE(shaper.flushHeld().first().bytes, reply('1', 4));
    }

    void shaperPutsGarbageBeforeFrames() {
        ReplyShaper shaper;
        shaper.garbageBytes = 3;
        const QByteArray bytes = shaper.shape(reply('5', 1)).first().bytes;
        QCOMPARE(bytes.size(), 23);
        QCOMPARE(bytes.mid(3), reply('5', 1));
    }

    void shaperHangsUpAfterTheNthFrame() {
        ReplyShaper shaper;
        shaper.hangupAfterFrames = 2;
        shaper.shape(reply(';', 0));
        QVERIFY(!shaper.hangupDue());
        shaper.shape(reply(':', 0));
        QVERIFY(shaper.hangupDue());
    }
};

QTEST_GUILESS_MAIN(TestVokarDevice)
#include "tst_vokardevice.moc"
