#include "linenoise.h"
#include "protocolchecker.h"
#include "replyshaper.h"
#include "vokardevice.h"

#include <QRandomGenerator>
#include <QTest>
#include <algorithm>
#include <memory>

#ifdef VOKAR_EMU
#include "emuprocess.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#endif

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

// A frame written as the bytes go over the line: "01 01 23 01 ...".
QByteArray frameOf(const char* hex) {
    const QByteArray frame = QByteArray::fromHex(QByteArray(hex));
    Q_ASSERT(frame.size() == VokarDevice::FrameSize);
    return frame;
}

// The strict checker's verdict on one frame, with its log lines for a
// failure message.
struct Verdict {
    QList<ProtocolChecker::Violation> faults;
    QString lines;
};
Verdict judge(int chip, const QByteArray& frame, int progressWaiting, bool endOfMessageWaiting) {
    ProtocolChecker::Awaiting awaiting{progressWaiting, endOfMessageWaiting};
    Verdict verdict;
    verdict.faults = ProtocolChecker(chip).check(frame, awaiting);
    for (const ProtocolChecker::Violation& v : verdict.faults)
        verdict.lines += ProtocolChecker::line(frame, v) + QLatin1Char('\n');
    return verdict;
}

// The columns of a frame to judge: the chip in the socket, the frame, and
// what waits for an answer.
void addFrameColumns() {
    QTest::addColumn<int>("chip");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("progressWaiting");
    QTest::addColumn<bool>("endOfMessageWaiting");
}

// Where a reader that looks for a reply code followed by five digits would
// find a reply's head in `bytes`.
QList<int> replyHeads(const QByteArray& bytes) {
    QList<int> heads;
    for (int at = 0; at + 6 <= bytes.size(); ++at) {
        bool head = LineNoise::isReplyCode(bytes[at]);
        for (int i = 1; head && i <= 5; ++i)
            head = LineNoise::isDigit(bytes[at + i]);
        if (head)
            heads << at;
    }
    return heads;
}

#ifdef VOKAR_EMU
// The program's end of the stand-in's line, as plain as it gets.
class PeerLine {
public:
    explicit PeerLine(const QString& device)
        : fd(::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {
        termios tio{};
        if (fd >= 0 && tcgetattr(fd, &tio) == 0) {
            cfmakeraw(&tio);
            tcsetattr(fd, TCSANOW, &tio);
        }
    }
    ~PeerLine() {
        if (fd >= 0)
            ::close(fd);
    }
    PeerLine(const PeerLine&) = delete;
    PeerLine& operator=(const PeerLine&) = delete;

    bool isOpen() const { return fd >= 0; }
    bool send(const QByteArray& bytes) {
        return ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }
    // Reads until `count` bytes have come in all; false after the time-out.
    bool readUntil(int count, int timeoutMs = 5000) {
        return QTest::qWaitFor(
            [&] {
                pull();
                return received.size() >= count;
            },
            timeoutMs);
    }
    bool readUntilItHas(const QByteArray& bytes, int timeoutMs = 5000) {
        return QTest::qWaitFor(
            [&] {
                pull();
                return received.contains(bytes);
            },
            timeoutMs);
    }
    QByteArray received;

private:
    void pull() {
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
            received.append(buffer, int(n));
    }
    int fd;
};

const char* const ScanFromZero = "04 00 00 01 00 01 8F 00 00 FF FF FF FF FF FF FF FF FF FF FF";

// The stand-in at a hundredth of real time with the test's end of its line
// open; `emu` is set up by the caller before.
bool startWithPeer(EmuProcess& emu, std::unique_ptr<PeerLine>& line) {
    if (!emu.start({QStringLiteral("--time-scale"), QStringLiteral("0.01")}))
        return false;
    line = std::make_unique<PeerLine>(emu.device());
    return line->isOpen() && emu.waitForLog(QStringLiteral("# port opened"));
}
#endif

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

    void eachRecordedRowIsToldWithItsSpan() {
        Bench b(1);
        QList<QList<double>> spans; // row, from, to
        b.device.onRowRecorded = [&](int row, double from, double to) {
            spans.append({double(row), from, to});
        };
        b.send(command(2, 10, 19, 0, 1));
        QCOMPARE(b.next(), reply('2', 16));
        b.device.advanceTo(1300);
        b.send(command(6));
        QCOMPARE(b.next(), reply('1', 20));
        QCOMPARE(spans.size(), 10);
        QCOMPARE(spans.first(), (QList<double>{10, 0, 150}));
        // The row that waited for the answer to the report holds the wait.
        QCOMPARE(spans.at(6), (QList<double>{16, 900, 1350}));
        QCOMPARE(spans.last(), (QList<double>{19, 1650, 1800}));
    }

    void heardLevelsStayWithTheirRowsInTheImage() {
        Bench b(1);
        b.record(0, 4);
        b.record(10, 12);
        const float heard[] = {-12.4f, -11.6f, -40.2f, -99.0f};
        for (int row = 0; row < 4; ++row)
            b.device.setLevel(row, heard[row]);
        b.device.setLevel(11, -150);
        const QByteArray image = b.device.saveImage();
        QVERIFY2(image.contains("message 0 4\nlevels 0 -12 -12 -40 -99 -\n"), image.constData());
        QVERIFY2(image.contains("message 10 12\nlevels 10 - -99 -\n"), image.constData());
        VokarDevice again(1);
        QVERIFY(again.loadImage(image));
        QCOMPARE(again.level(1), std::optional<float>(-12.0f));
        QCOMPARE(again.level(4), std::nullopt);
        QCOMPARE(again.level(11), std::optional<float>(VokarDevice::Silence));
        QVERIFY(again.memoryMap().contains(QStringLiteral("levels 0 -12 -12 -40 -99 -")));
        // A row recorded again is not heard until it is heard again.
        b.record(0, 2);
        QCOMPARE(b.device.level(1), std::nullopt);
        QCOMPARE(b.device.level(3), std::optional<float>(-99.0f));
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

    // --- strict judging ------------------------------------------------------

    void cleanFramesPassTheStrictCheck_data() {
        addFrameColumns();
        const auto row = [](const char* name, int chip, const char* hex, int progress = 0,
                            bool eom = false) {
            QTest::newRow(name) << chip << frameOf(hex) << progress << eom;
        };
        row("play from 00291 right after start-up", 1,
            "01 01 23 01 00 01 8F 00 FF FF FF FF FF FF FF FF FF FF FF FF");
        row("power up right after start-up", 1,
            "07 FF FF 01 FF FF FF 01 FF FF FF FF FF FF FF FF FF FF FF FF");
        row("set chip at start-up", 1,
            "05 FF FF 01 FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF");
        row("set chip ISD 5116 6.4 kHz", 26,
            "05 FF FF 04 FF FF FF FF FF 31 FF FF FF FF FF FF FF FF FF FF");
        row("set chip ISD 1730 before any command", 41,
            "05 FF FF 05 FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF");
        row("set chip ISD 1730 answering the greeting", 41,
            "05 00 10 05 00 00 FF 01 00 FF 00 FF 01 FF FF FF FF FF FF FF");
        row("scan ISD 1730 from 16", 41,
            "04 00 10 05 00 00 FF 00 00 FF 00 FF 01 FF FF FF FF FF FF FF");
        row("scan step ISD 1760", 44,
            "04 00 64 05 00 01 EF 00 00 FF 01 EF 03 FF FF FF FF FF FF FF");
        row("check records from 00000 on an ISD 1730", 41,
            "04 00 00 05 00 00 FF 01 00 FF 00 FF 01 FF FF FF FF FF FF FF");
        row("record one file without stop address, power never written", 1,
            "02 00 00 01 00 01 8F FF FF FF 8F 01 FF FF FF FF FF FF FF FF");
        row("record a table row with stop 00260, a row follows", 1,
            "02 00 C8 01 01 01 04 01 00 FF 8F 01 FF FF FF FF FF FF FF FF");
        row("record ISD 1760 first command, stop as the type was applied", 44,
            "02 00 10 05 00 01 F0 FF FF FF 01 EF 03 FF FF FF FF FF FF FF");
        row("erase ISD 1740", 42, "0A 00 00 05 00 01 4F 00 00 FF 01 4F 02 FF FF FF FF FF FF FF");
        row("erase ISD 33060 after a scan: record from 0", 1,
            "02 00 00 01 00 01 8F 00 00 FF FF FF FF FF FF FF FF FF FF FF");
        row("play ISD 5008 4.0 kHz", 24,
            "01 00 00 03 00 04 AF 00 FF 33 FF FF FF FF FF FF FF FF FF FF");
        row("play ISD 17240 from its first row", 50,
            "01 00 10 05 00 07 8F 01 FF FF 07 8F 04 FF FF FF FF FF FF FF");
        row("continue answering a progress report", 1,
            "06 00 00 01 00 01 8F 00 FF FF FF FF FF FF FF FF FF FF FF FF", 1);
        row("stop answering a progress report, a table row follows", 1,
            "03 00 00 01 00 01 8F 01 FF FF FF FF FF FF FF FF FF FF FF FF", 1);
        row("stop at the end of a check, answering its end of message", 1,
            "03 00 64 01 00 01 8F 00 00 FF FF FF FF FF FF FF FF FF FF FF", 0, true);
        row("power down", 1, "08 00 00 01 00 01 8F 00 00 FF FF FF FF FF FF FF FF FF FF FF");
        // The display shows 00000 after a chip type is chosen, and the user
        // gives a row's addresses: rows 0-15 of an ISD 1700 are not judged.
        row("play an ISD 1730 from the display right after start-up", 41,
            "01 00 00 05 00 00 FF 00 FF FF 00 FF 01 FF FF FF FF FF FF FF");
        row("record into an ISD 1730 from the display right after start-up", 41,
            "02 00 00 05 00 00 FF 00 FF FF 00 FF 01 FF FF FF FF FF FF FF");
        row("record an ISD 1730 row to the user's stop address 00010", 41,
            "02 00 00 05 01 00 0A 00 FF FF 00 FF 01 FF FF FF FF FF FF FF");
        row("empty socket: only codes and answers are judged", 0,
            "01 07 FF 05 00 00 00 00 FF FF FF FF FF FF FF FF FF FF FF FF");
    }
    void cleanFramesPassTheStrictCheck() {
        QFETCH(int, chip);
        QFETCH(QByteArray, frame);
        QFETCH(int, progressWaiting);
        QFETCH(bool, endOfMessageWaiting);
        const Verdict verdict = judge(chip, frame, progressWaiting, endOfMessageWaiting);
        QVERIFY2(verdict.faults.isEmpty(), qPrintable(verdict.lines));
    }

    void eachBadByteIsOneViolation_data() {
        addFrameColumns();
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("found");
        const auto row = [](const char* name, int chip, const char* hex, int first, int last,
                            const char* field, const char* found, int progress = 0,
                            bool eom = false) {
            QTest::newRow(name) << chip << frameOf(hex) << progress << eom << first << last
                                << QString::fromLatin1(field) << QString::fromLatin1(found);
        };
        row("command code 0", 1, "00 FF FF 01 FF FF FF 00 FF FF FF FF FF FF FF FF FF FF FF FF", 0,
            0, "command code", "00");
        row("command code 9", 1, "09 FF FF 01 FF FF FF 00 FF FF FF FF FF FF FF FF FF FF FF FF", 0,
            0, "command code", "09");
        row("command code 11", 1, "0B FF FF 01 FF FF FF 00 FF FF FF FF FF FF FF FF FF FF FF FF", 0,
            0, "command code", "0B");
        row("play with another family's code", 1,
            "01 00 00 05 00 01 8F 00 FF FF FF FF FF FF FF FF FF FF FF FF", 3, 3, "chip family",
            "05");
        row("play from beyond the chip", 1,
            "01 01 90 01 00 01 8F 00 FF FF FF FF FF FF FF FF FF FF FF FF", 1, 2, "start address",
            "00400");
        row("play with a stop flag", 1,
            "01 00 00 01 01 01 8F 00 FF FF FF FF FF FF FF FF FF FF FF FF", 4, 4, "stop flag", "01");
        row("play to a smaller type's last address", 5,
            "01 00 00 01 00 01 8F 00 FF FF FF FF FF FF FF FF FF FF FF FF", 5, 6, "stop address",
            "00399");
        row("play with the power setting of a bad greeting", 1,
            "01 00 00 01 00 01 8F D0 FF FF FF FF FF FF FF FF FF FF FF FF", 7, 7, "power flag",
            "D0");
        row("scan with byte 8 not cleared", 1,
            "04 00 00 01 00 01 8F 00 FF FF FF FF FF FF FF FF FF FF FF FF", 8, 8, "scan byte", "FF");
        row("scan with another rate's code", 25,
            "04 00 00 04 00 07 FF 00 00 31 FF FF FF FF FF FF FF FF FF FF", 9, 9, "sample rate code",
            "31");
        row("scan with the last address low byte first", 44,
            "04 00 10 05 00 01 EF 00 00 FF EF 01 03 FF FF FF FF FF FF FF", 10, 11,
            "last address copy", "EF 01");
        row("scan with another ISD 1700's size code", 44,
            "04 00 10 05 00 01 EF 00 00 FF 01 EF 02 FF FF FF FF FF FF FF", 12, 12,
            "ISD 1700 size code", "02");
        row("erase by recording right after start-up", 1,
            "02 00 00 01 FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF", 4, 4, "stop flag", "FF");
        row("record to a stop address beyond the chip", 1,
            "02 00 00 01 01 01 90 00 FF FF FF FF FF FF FF FF FF FF FF FF", 5, 6, "stop address",
            "00400");
        row("record with the power setting of a bad greeting", 1,
            "02 00 00 01 00 01 8F D0 FF FF FF FF FF FF FF FF FF FF FF FF", 7, 7, "power flag",
            "D0");
        row("ISD 1700 erase code for an ISD 33060", 1,
            "0A 00 00 01 00 01 8F 00 00 FF FF FF FF FF FF FF FF FF FF FF", 0, 0, "command code",
            "0A");
        row("erase not from 0", 42, "0A 00 10 05 00 01 4F 00 00 FF 01 4F 02 FF FF FF FF FF FF FF",
            1, 2, "start address", "00016");
        row("set chip for an ISD 33060 with an ISD 1730 in the socket", 41,
            "05 FF FF 01 FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF", 3, 3, "chip family",
            "01");
        row("set chip for 6.4 kHz with an 8 kHz chip in the socket", 25,
            "05 FF FF 04 FF FF FF FF FF 31 FF FF FF FF FF FF FF FF FF FF", 9, 9, "sample rate code",
            "31");
        row("power up with flag 0", 1,
            "07 FF FF 01 FF FF FF 00 FF FF FF FF FF FF FF FF FF FF FF FF", 7, 7, "power flag",
            "00");
        row("power down with flag 1", 1,
            "08 FF FF 01 FF FF FF 01 FF FF FF FF FF FF FF FF FF FF FF FF", 7, 7, "power flag",
            "01");
        row("continue with nothing waiting", 1,
            "06 00 00 01 00 01 8F 00 FF FF FF FF FF FF FF FF FF FF FF FF", 0, 0, "answer",
            "continue with none waiting");
        row("continue after an end of message", 1,
            "06 00 00 01 00 01 8F 00 FF FF FF FF FF FF FF FF FF FF FF FF", 0, 0, "answer",
            "continue with none waiting", 0, true);
        row("stop with nothing running", 1,
            "03 00 00 01 00 01 8F 00 FF FF FF FF FF FF FF FF FF FF FF FF", 0, 0, "answer",
            "stop with none waiting");
        row("continue with the power setting of a bad greeting", 1,
            "06 00 00 01 00 01 8F D0 FF FF FF FF FF FF FF FF FF FF FF FF", 7, 7, "power flag", "D0",
            1);
        row("a byte that is never written", 1,
            "07 FF FF 01 FF FF FF 01 FF FF FF FF FF FF FF 00 FF FF FF FF", 13, 19, "unused",
            "FF FF 00 FF FF FF FF");
    }
    void eachBadByteIsOneViolation() {
        QFETCH(int, chip);
        QFETCH(QByteArray, frame);
        QFETCH(int, progressWaiting);
        QFETCH(bool, endOfMessageWaiting);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(QString, field);
        QFETCH(QString, found);
        const Verdict verdict = judge(chip, frame, progressWaiting, endOfMessageWaiting);
        QVERIFY2(verdict.faults.size() == 1, qPrintable(verdict.lines));
        QCOMPARE(verdict.faults.first().first, first);
        QCOMPARE(verdict.faults.first().last, last);
        QCOMPARE(verdict.faults.first().field, field);
        QCOMPARE(verdict.faults.first().found, found);
    }

    void violationLineNamesFrameByteExpectedAndFound() {
        const QByteArray frame =
            frameOf("01 01 90 01 00 01 8F 00 FF FF FF FF FF FF FF FF FF FF FF FF");
        ProtocolChecker::Awaiting awaiting;
        const QList<ProtocolChecker::Violation> faults = ProtocolChecker(1).check(frame, awaiting);
        QCOMPARE(faults.size(), 1);
        QCOMPARE(ProtocolChecker::line(frame, faults.first()),
                 QStringLiteral("PROTOCOL: play frame 01 01 90 01 00 01 8F 00 FF FF FF FF FF FF FF "
                                "FF FF FF FF FF: byte 1-2 start address: expected at most 00399 "
                                "(the last address of the ISD 33060 in the socket), found 00400"));
    }

    void answersAreCountedAgainstTheReportsSent() {
        Bench b(1);
        QStringList faults;
        b.device.strict = true;
        b.device.onViolation = [&](const QString& line) { faults << line; };
        const QByteArray go =
            frameOf("06 00 00 01 00 01 8F 00 FF FF FF FF FF FF FF FF FF FF FF FF");
        const QByteArray halt =
            frameOf("03 00 00 01 00 01 8F 00 FF FF FF FF FF FF FF FF FF FF FF FF");
        b.send(frameOf("02 00 00 01 00 01 8F 00 FF FF FF FF FF FF FF FF FF FF FF FF"));
        QCOMPARE(b.next(), reply('2', 6));
        // Sent again while unanswered: both reports may be answered, one
        // late, and neither answer is a fault.
        QVERIFY(b.device.repeatProgress());
        QCOMPARE(b.replies.last(), reply('2', 6));
        b.send(go);
        QVERIFY(!b.device.repeatProgress()); // answered: nothing waits
        b.send(go);
        QVERIFY(faults.isEmpty());
        b.send(go);
        QCOMPARE(faults.size(), 1);
        QVERIFY(faults.last().contains(QStringLiteral("continue with none waiting")));
        // A scan's end of message may be answered with a stop, once.
        b.send(frameOf("04 00 00 01 00 01 8F 00 00 FF FF FF FF FF FF FF FF FF FF FF"));
        QCOMPARE(b.next(), reply('4', 7));
        b.send(halt);
        QCOMPARE(faults.size(), 1);
        b.send(halt);
        QCOMPARE(faults.size(), 2);
        QCOMPARE(b.device.violationsFound(), 2);
    }

    void laxDeviceReportsNothing() {
        Bench b(1);
        int told = 0;
        b.device.onViolation = [&](const QString&) { ++told; };
        b.send(frameOf("09 00 00 05 07 07 07 D0 07 07 07 07 07 07 07 07 07 07 07 07"));
        QCOMPARE(told, 0);
        QCOMPARE(b.device.violationsFound(), 0);
    }

    // --- noise -----------------------------------------------------------------

    void noiseIsTheSameForTheSameSeed() {
        const auto run = [](quint32 seed) {
            LineNoise noise(0.5, 8, seed);
            QByteArray all;
            for (int i = 0; i < 200; ++i) {
                all += noise.strikes() ? noise.burst() : QByteArray("-");
                all += char(noise.delayMs(100));
            }
            return all;
        };
        QCOMPARE(run(42), run(42));
        QVERIFY(run(42) != run(43));
    }

    void noiseLooksLikeRepliesButNeverMakesOne_data() {
        QTest::addColumn<QByteArray>("next");
        QTest::newRow("progress report") << reply('2', 123);
        QTest::newRow("finished") << reply('1', 16);
        QTest::newRow("recording started") << reply(':', 0);
        QTest::newRow("scan overflow") << reply('9', 400);
        QTest::newRow("greeting") << VokarDevice::replyFrame(';', 0, '1');
    }
    void noiseLooksLikeRepliesButNeverMakesOne() {
        QFETCH(QByteArray, next);
        LineNoise noise(1, 12, 2026);
        int codes = 0;
        int digits = 0;
        for (int i = 0; i < 2000; ++i) {
            const QByteArray burst = noise.burst();
            QVERIFY(!burst.isEmpty() && burst.size() <= 13);
            for (char c : burst) {
                codes += LineNoise::isReplyCode(c) ? 1 : 0;
                digits += LineNoise::isDigit(c) ? 1 : 0;
            }
            // Read with the reply after it, the only head is the reply's own.
            QCOMPARE(replyHeads(burst + next), QList<int>{int(burst.size())});
        }
        // Plausible garbage: a good share of it is what a reply starts with.
        QVERIFY(codes > 2000);
        QVERIFY(digits > 2000);
    }

    void shaperNoiseNeverCutsIntoAReplysHead_data() {
        QTest::addColumn<int>("pieceSize");
        QTest::addColumn<bool>("pair");
        QTest::newRow("pieces of 1") << 1 << false;
        QTest::newRow("pieces of 3") << 3 << false;
        QTest::newRow("pieces of 7") << 7 << false;
        QTest::newRow("pieces of 5, two replies at a time") << 5 << true;
    }
    void shaperNoiseNeverCutsIntoAReplysHead() {
        QFETCH(int, pieceSize);
        QFETCH(bool, pair);
        LineNoise noise(1, 8, 7);
        QList<QByteArray> bursts;
        ReplyShaper shaper;
        shaper.pieceSize = pieceSize;
        shaper.piecePauseMs = 40;
        shaper.pairFrames = pair;
        shaper.noise = &noise;
        shaper.onNoise = [&](const QByteArray& bytes, const char*) { bursts << bytes; };
        QList<ReplyShaper::Write> writes = shaper.shape(reply(':', 16));
        writes += shaper.shape(reply('2', 123));
        QByteArray line;
        for (const ReplyShaper::Write& w : writes)
            line += w.bytes;
        // Every reply's head is there whole; each burst sits before a reply
        // or in a pause after a head, never inside one.
        const QList<int> heads = replyHeads(line);
        QCOMPARE(heads.size(), 2);
        QCOMPARE(line.mid(heads.at(0), 6), QByteArray(":00016"));
        QCOMPARE(line.mid(heads.at(1), 6), QByteArray("200123"));
        QVERIFY(bursts.size() >= 3);
        int stray = 0;
        for (const QByteArray& b : bursts)
            stray += int(b.size());
        QCOMPARE(line.size(), 40 + stray);
        // Noise takes half of a pause, the piece the rest.
        for (int i = 1; i < writes.size(); ++i)
            QVERIFY(writes.at(i).pauseBeforeMs <= 40);
    }

    void deviceRepeatsOnlyAReportThatWaits() {
        Bench b(1);
        QVERIFY(!b.device.repeatProgress());
        b.send(command(1, 0, 399));
        QCOMPARE(b.next(), reply('2', 6));
        QVERIFY(b.device.repeatProgress());
        QCOMPARE(b.replies.size(), 2);
        QCOMPARE(b.replies.last(), reply('2', 6));
        b.send(command(3));
        QVERIFY(!b.device.repeatProgress());
        QCOMPARE(b.replies.last(), reply('5', 6));
    }

    // --- vokar-emu on its pseudo-terminal ------------------------------------

    void greetingOnlyWhenAsked_data() {
        QTest::addColumn<bool>("greet");
        QTest::newRow("without --greet") << false;
        QTest::newRow("with --greet") << true;
    }
    void greetingOnlyWhenAsked() {
#ifdef VOKAR_EMU
        QFETCH(bool, greet);
        EmuProcess emu;
        emu.greet = greet;
        std::unique_ptr<PeerLine> line;
        QVERIFY(startWithPeer(emu, line));
        QVERIFY(line->send(frameOf(ScanFromZero)));
        // A greeting goes out when the port opens, before any reply.
        const QByteArray expected =
            (greet ? VokarDevice::replyFrame(';', 0, '0') : QByteArray()) + reply('9', 400);
        QVERIFY(line->readUntil(int(expected.size())));
        QCOMPARE(line->received, expected);
#else
        QSKIP("vokar-emu is not built here");
#endif
    }

    void strictLogsEveryFaultOfAFrame() {
#ifdef VOKAR_EMU
        EmuProcess emu;
        QVERIFY(emu.strict);
        std::unique_ptr<PeerLine> line;
        QVERIFY(startWithPeer(emu, line));
        QVERIFY(line->send(frameOf("01 00 00 05 00 01 8F D0 FF FF FF FF FF FF FF FF FF FF FF FF")));
        QTRY_COMPARE(emu.violations().size(), 2);
        const QStringList found = emu.violations();
        QVERIFY(
            found.at(0).startsWith(QStringLiteral("PROTOCOL: play frame 01 00 00 05 00 01 8F D0")));
        QVERIFY(found.at(0).contains(QStringLiteral("byte 3 chip family: expected 01")));
        QVERIFY(
            found.at(1).contains(QStringLiteral("byte 7 power flag: expected 00 or 01, found D0")));
        // Otherwise it behaves as it always did: the frame is played.
        QVERIFY(emu.logContains(QStringLiteral(" in  01 00 00 05")));
        QVERIFY(line->readUntilItHas(reply('2', 6)));
        emu.expectViolations();
#else
        QSKIP("vokar-emu is not built here");
#endif
    }

    void noiseIsReplayedFromItsSeed() {
#ifdef VOKAR_EMU
        // The noise a run put on the line, in the order it was made.
        const auto run = [](quint32 seed, QStringList& noise, QString& seedLine) {
            EmuProcess emu;
            emu.greet = true;
            emu.noise = 1;
            emu.seed = seed;
            std::unique_ptr<PeerLine> line;
            QVERIFY(startWithPeer(emu, line));
            QVERIFY(line->send(frameOf(ScanFromZero)));
            // Every place gets a burst: the opening, then before and after
            // each of the two replies.
            QTRY_COMPARE(emu.log().filter(QStringLiteral(" noise ")).size(), 5);
            int stray = 0;
            for (const QString& l : emu.log().filter(QStringLiteral(" noise "))) {
                const QString bytes = l.section(QStringLiteral(" noise "), 1).section(u'|', 0, 0);
                stray += int(QByteArray::fromHex(bytes.toLatin1()).size());
                noise << l.section(QStringLiteral(" noise "), 1);
            }
            QVERIFY(line->readUntil(40 + stray));
            // Both replies can be read whole among the noise, and only they.
            const QList<int> heads = replyHeads(line->received);
            QCOMPARE(heads.size(), 2);
            QCOMPARE(line->received.mid(heads.at(0), 7), QByteArray(";000000"));
            QCOMPARE(line->received.mid(heads.at(1), 6), QByteArray("900400"));
            seedLine = emu.noiseSeed();
            std::sort(noise.begin(), noise.end());
        };
        QStringList first, again, other;
        QString seedLine, ignored;
        run(77, first, seedLine);
        run(77, again, ignored);
        run(78, other, ignored);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(again, first);
        QVERIFY(other != first);
        QVERIFY2(seedLine.contains(QStringLiteral("--seed 77")), qPrintable(seedLine));
#else
        QSKIP("vokar-emu is not built here");
#endif
    }

    void unansweredReportIsSentAgain() {
#ifdef VOKAR_EMU
        EmuProcess emu;
        emu.repeatUnansweredMs = 50;
        std::unique_ptr<PeerLine> line;
        QVERIFY(startWithPeer(emu, line));
        QVERIFY(line->send(frameOf("02 00 00 01 00 01 8F 00 FF FF 8F 01 FF FF FF FF FF FF FF FF")));
        // ":" then the report, then the same report again while unanswered.
        QVERIFY(line->readUntil(60));
        QCOMPARE(line->received.left(60), reply(':', 0) + reply('2', 6) + reply('2', 6));
        QVERIFY(emu.logContains(QStringLiteral("unanswered for 50 ms: sent again")));
        // A stop answers one of them, a late continue the other: neither is
        // a fault, and the recording ends where it stood.
        QVERIFY(line->send(frameOf("03 00 00 01 00 01 8F 00 FF FF 8F 01 FF FF FF FF FF FF FF FF")));
        QVERIFY(line->send(frameOf("06 00 00 01 00 01 8F 00 FF FF 8F 01 FF FF FF FF FF FF FF FF")));
        QVERIFY(line->readUntilItHas(reply('1', 7)));
        QVERIFY(emu.waitForLog(QStringLiteral(" in  06")));
        QCOMPARE(emu.violations(), QStringList());
#else
        QSKIP("vokar-emu is not built here");
#endif
    }

    void strayBytesOnDemandAndBabble() {
#ifdef VOKAR_EMU
        EmuProcess emu;
        std::unique_ptr<PeerLine> line;
        QVERIFY(startWithPeer(emu, line));
        emu.command(QStringLiteral("noise 7"));
        QVERIFY(line->readUntil(7));
        emu.command(QStringLiteral("babble 0.2 20000"));
        QVERIFY(emu.waitForLog(QStringLiteral("babble ended")));
        const QString ended = emu.log().filter(QStringLiteral("babble ended")).first();
        const int written = ended.section(QStringLiteral("ended: "), 1).section(u' ', 0, 0).toInt();
        QVERIFY2(written > 1000, qPrintable(ended));
        QVERIFY(line->readUntil(7 + written));
        QCOMPARE(replyHeads(line->received), QList<int>());
#else
        QSKIP("vokar-emu is not built here");
#endif
    }
};

QTEST_GUILESS_MAIN(TestVokarDevice)
#include "tst_vokardevice.moc"
