// The chip link when the world is not as a clean line would have it: noise
// and lost bytes on the line, replies bunched up or held back, a port that
// is closed, a programmer that goes quiet, bytes that are no setting. The
// link is composed over the program's state on the fakes, without a window.
#include "core/addressinput.h"
#include "fakecomport.h"
#include "fakeplayer.h"
#include "fakeprompter.h"
#include "files/localplayback.h"
#include "link/chiplink.h"
#include "link/linkprogress.h"
#include "link/programmerconnection.h"
#include "link/replyintake.h"
#include "link/replywatchdog.h"
#include "state/programstate.h"
#include "tempfolder.h"

#include <QTest>
#include <memory>
#include <utility>

namespace {

class TypedAddress : public AddressInput {
public:
    bool Execute() override { return !text.isEmpty(); }
    QString addressText() const override { return text; }
    QString text;
};

QByteArray reply(char code, int address = 0, char power = '0') {
    return replyFrame(code, address, power);
}

QByteArray hex(const QByteArray& bytes) {
    return bytes.toHex(' ').toUpper();
}

// The chip link over the program's state at start-up: the port open, the
// chip type applied and its set-chip frame taken off the line, local
// playback wired so that the end of a file asks for the stop.
struct Link {
    TempFolder folder;
    FakeComPort port;
    FakePlayer player;
    FakePrompter prompter;
    ProgramState state{port, &player, prompter};
    TypedAddress address;
    LocalPlayback playback{&player, state.fileGrid, state.availability, state.link, prompter};
    std::unique_ptr<ChipLink> chipLink;
    int mapShown = 0;
    LinkProgress progress{{state.link, state.chip, state.fileGrid, state.mapGrid, player},
                          [] { return qint64(0); },
                          [] { return qint64(0); }};
    // The last text the status bar would show.
    QString status;

    explicit Link(int chipType = 1) {
        state.setUp(folder.file(QStringLiteral("isdvokar.fig")));
        state.chip.ChipType = qint8(chipType);
        port.Open();
        state.chip.ApplyChipType();
        port.written.clear();
        chipLink = std::make_unique<ChipLink>(state, address, [this] { ++mapShown; });
        QObject::connect(&player, &MediaPlayer::OnNotify, &player,
                         [this] { playback.playbackEnded(); });
        look();
    }
    LinkContext& link() { return state.link; }
    void look() {
        const QString text = progress.update();
        if (!text.isEmpty())
            status = text;
    }
    void run(const char* action) {
        state.commands.action(QString::fromLatin1(action))->trigger();
        look();
    }
    void feed(const QByteArray& bytes) {
        port.feed(bytes);
        look();
    }
    void answer(char code, int address = 0, char power = '0') { feed(reply(code, address, power)); }
    // Steps separated by "|": a control name runs that command, "finish"
    // ends the file playing, anything else is a reply: its code and address.
    void play(const QString& script) {
        for (const QString& step : script.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
            if (step == QLatin1String("finish")) {
                player.finish();
                look();
            } else if (step.at(0).isUpper()) {
                run(step.toLatin1().constData());
            } else {
                const QStringList parts = step.split(QLatin1Char(' '));
                answer(parts.at(0).at(0).toLatin1(), parts.value(1).toInt());
            }
        }
    }
    QByteArray lastFrame() const {
        return port.written.isEmpty() ? QByteArray() : port.written.last();
    }
    int sent() const { return int(port.written.size()); }
    void addFile(int row, const QString& start, const QString& stop, const QString& file) {
        state.fileGrid.setCell(1, row, start);
        state.fileGrid.setCell(2, row, stop);
        state.fileGrid.setCell(3, row, file);
        state.availability.UpdateMenu();
    }
    void addRecord(int row, int start, int eom) {
        state.mapGrid.setCell(1, row, QString::asprintf("%05d", start));
        state.mapGrid.setCell(2, row, QString::asprintf("%04X", start));
        state.mapGrid.setCell(3, row, QString::asprintf("%05d", eom));
        state.mapGrid.setCell(4, row, QString::asprintf("%04X", eom));
    }
    bool enabled(const char* name) { return state.commands.isEnabled(QString::fromLatin1(name)); }
    ReplyIntake& intake() { return chipLink->replies.intake(); }
};

constexpr int Idle = LinkContext::StateIdle;

} // namespace

class TestLinkFaults : public QObject {
    Q_OBJECT

private slots:
    // The intake.
    void replyIsFoundWhateverCameBefore_data();
    void replyIsFoundWhateverCameBefore();
    void recordingGoesOnThroughStrayBytes();
    void twoRepliesInOneDeliveryAreBothHandledInOrder();
    void noiseNeverShowsABox_data();
    void noiseNeverShowsABox();
    void repliesDuringABoxWaitAndTheIntakeStaysBounded();
    void noiseCostsNoMemory();

    // Purging before the first frame.
    void recordTablePurgesBeforeItsFirstFrame();
    void recordFilePurgesAfterOpeningItsFile();

    // The programmer going quiet.
    void silenceIsToldAndStopThenGoesOutAtOnce_data();
    void silenceIsToldAndStopThenGoesOutAtOnce();

    // No port, or the port going away.
    void chipCommandsOnAClosedPortDoNotStart_data();
    void chipCommandsOnAClosedPortDoNotStart();
    void portClosingEndsTheOperation_data();
    void portClosingEndsTheOperation();

    // Frames.
    void memoryScanStartsAtTheStartOfMemory_data();
    void memoryScanStartsAtTheStartOfMemory();
    void readyWithABadPowerDigitKeepsTheSetting_data();
    void readyWithABadPowerDigitKeepsTheSetting();
    void eraseOfAnOlderChipCoversTheWholeMemory_data();
    void eraseOfAnOlderChipCoversTheWholeMemory();
    void tableRowThatCannotOpenSendsNothing();

    // What the user is told.
    void statusClaimsOnlyWhatHappened_data();
    void statusClaimsOnlyWhatHappened();
    void addressDisplaysNeverDisagree_data();
    void addressDisplaysNeverDisagree();
};

void TestLinkFaults::replyIsFoundWhateverCameBefore_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::newRow("seven stray bytes") << QByteArray(7, '\x7F');
    QTest::newRow("error codes without an address") << QByteArray("=<9\x01\x02");
    QTest::newRow("digits that are no address") << QByteArray("12345");
    QTest::newRow("a reply cut short") << QByteArray("20012");
    QTest::newRow("a frame of noise that starts with a code")
        << QByteArray("7") + QByteArray(19, 'x');
    QTest::newRow("zero bytes") << QByteArray(13, '\0');
    QTest::newRow("a code in front of the reply") << QByteArray("\x10:");
}

void TestLinkFaults::replyIsFoundWhateverCameBefore() {
    QFETCH(QByteArray, before);
    // Together in one delivery, and byte by byte.
    for (const bool together : {true, false}) {
        Link l;
        const QByteArray bytes = before + reply(';', 0, '1');
        if (together) {
            l.feed(bytes);
        } else {
            for (char c : bytes)
                l.feed(QByteArray(1, c));
        }
        QCOMPARE(l.sent(), 1);
        QCOMPARE(hex(l.lastFrame().left(8)), QByteArray("05 FF FF 01 FF FF FF 01"));
        QCOMPARE(l.link().PowerSetting, quint8(1));
        QCOMPARE(l.link().NoiseBytesDropped, quint64(before.size()));
        QCOMPARE(l.link().RepliesTaken, quint64(1));
        QVERIFY(l.prompter.messages.isEmpty());
        QVERIFY(l.prompter.errors.isEmpty());
    }
}

void TestLinkFaults::recordingGoesOnThroughStrayBytes() {
    Link l;
    l.addFile(1, QStringLiteral("00000"), QStringLiteral("not used"), QStringLiteral("/s/a.wav"));
    l.addFile(2, QStringLiteral("not used"), QStringLiteral("not used"),
              QStringLiteral("/s/b.wav"));
    l.run("RecTable");
    // Seven stray bytes come in front of the programmer's ":".
    l.feed(QByteArray("\x13%00%00") + reply(':'));
    QVERIFY(l.player.IsPlaying());
    QVERIFY(l.prompter.errors.isEmpty());
    // One stray byte in front of a progress report: it is answered all the same.
    l.feed(QByteArray(1, '\x55') + reply('2', 10));
    QCOMPARE(l.lastFrame().at(0), char(6));
    l.player.finish();
    l.feed(QByteArray("3\xC1") + reply('2', 20));
    QCOMPARE(l.lastFrame().at(0), char(3));
    l.answer('1', 21);
    QCOMPARE(hex(l.lastFrame().left(3)), QByteArray("02 00 15"));
    QCOMPARE(l.link().TableRow, 2);
    QCOMPARE(l.link().NoiseBytesDropped, quint64(10));
}

void TestLinkFaults::twoRepliesInOneDeliveryAreBothHandledInOrder() {
    // An ISD 1730 erase answers ":" and "1" close together.
    Link l(41);
    l.addFile(1, QStringLiteral("00016"), QStringLiteral("not used"), QStringLiteral("/s/a.wav"));
    l.run("Erase1");
    QCOMPARE(l.link().LinkState, int(LinkContext::StateErasing));
    l.feed(reply(':') + reply('1', 16));
    QCOMPARE(l.link().LinkState, Idle);
    QVERIFY(l.enabled("RecordISD"));
    QVERIFY(l.enabled("RecTable"));
    QVERIFY(l.enabled("PlayfromISD2"));
    QCOMPARE(l.status, QStringLiteral("Chip erased"));

    // A recording's start and its first report: the file plays and the
    // report is answered.
    l.run("RecordISD");
    l.feed(reply(':') + reply('2', 30));
    QVERIFY(l.player.IsPlaying());
    QCOMPARE(l.lastFrame().at(0), char(6));
    QCOMPARE(l.link().RepliesTaken, quint64(4));
}

void TestLinkFaults::noiseNeverShowsABox_data() {
    QTest::addColumn<char>("code");
    for (char code : {'7', '8', '9', '=', '<'})
        QTest::newRow(QByteArray(1, code).constData()) << code;
}

void TestLinkFaults::noiseNeverShowsABox() {
    QFETCH(char, code);
    Link l;
    // A frame's worth of noise that starts with a reply code; the digits
    // after it are too few.
    const QByteArray noise = QByteArray(1, code) + "0042" + QByteArray(15, 'y');
    l.feed(noise);
    QVERIFY(l.prompter.messages.isEmpty());
    QVERIFY(l.prompter.errors.isEmpty());
    QCOMPARE(l.sent(), 0);
    QCOMPARE(l.link().NoiseBytesDropped, quint64(noise.size()));
}

void TestLinkFaults::repliesDuringABoxWaitAndTheIntakeStaysBounded() {
    Link l;
    l.run("PlayfromISD2");
    const int many = 3 * ReplyIntake::MaxWaiting;
    int sentWhileOpen = -1;
    int waitingWhileOpen = -1;
    int leftAtThePort = -1;
    bool fed = false;
    l.prompter.onMessage = [&](const QString&) {
        // While "Device not detected !" is open the programmer announces
        // itself again and again.
        if (std::exchange(fed, true))
            return;
        QByteArray bytes;
        for (int i = 0; i < many; ++i)
            bytes += reply(';', 0, '1');
        l.port.feed(bytes);
        sentWhileOpen = l.sent();
        waitingWhileOpen = l.intake().waiting();
        leftAtThePort = l.port.ReadBufUsed() + l.intake().begun();
    };
    l.answer('<');
    // Nothing was answered while the box was open, and no more was taken
    // off the port than the intake keeps (and the beginning of the next).
    QCOMPARE(sentWhileOpen, 1);
    QCOMPARE(waitingWhileOpen, ReplyIntake::MaxWaiting);
    QCOMPARE(leftAtThePort, (many - ReplyIntake::MaxWaiting) * ReplyIntake::FrameSize);
    // Then every one was answered, after the box.
    QCOMPARE(l.prompter.messages.size(), 2);
    QCOMPARE(l.sent(), 1 + many);
    QCOMPARE(l.lastFrame().at(0), char(5));
    QCOMPARE(l.intake().waiting(), 0);
    QCOMPARE(l.port.ReadBufUsed(), 0);
}

void TestLinkFaults::noiseCostsNoMemory() {
    Link l;
    // A megabyte of noise with every reply code in it, but never a code and
    // five digits.
    QByteArray noise;
    const char pattern[] = "1234x5678:9;<=00\xFF\x00y";
    while (noise.size() < 1 << 20)
        noise.append(pattern, int(sizeof(pattern)) - 1);
    for (int at = 0; at < noise.size(); at += 4096) {
        l.port.feed(noise.mid(at, 4096));
        QVERIFY(l.intake().begun() < ReplyIntake::FrameSize);
    }
    QCOMPARE(l.link().NoiseBytesDropped + quint64(l.intake().begun()), quint64(noise.size()));
    QCOMPARE(l.sent(), 0);
    QVERIFY(l.prompter.messages.isEmpty());
    // The next reply is taken.
    l.feed(QByteArray("xx") + reply(';'));
    QCOMPARE(l.sent(), 1);
}

void TestLinkFaults::recordTablePurgesBeforeItsFirstFrame() {
    Link l;
    l.addFile(1, QStringLiteral("00000"), QStringLiteral("not used"), QStringLiteral("/s/a.wav"));
    l.addFile(2, QStringLiteral("not used"), QStringLiteral("not used"),
              QStringLiteral("/s/b.wav"));
    // A "finished" left over from before waits on the port, undelivered.
    l.port.queue(reply('1', 77));
    l.run("RecTable");
    QCOMPARE(l.port.ReadBufUsed(), 0);
    l.answer(':');
    // Only the first row's frame went out; the old reply did not move the
    // table on.
    QCOMPARE(l.sent(), 1);
    QCOMPARE(l.link().TableRow, 1);
    QVERIFY(l.player.IsPlaying());
}

void TestLinkFaults::recordFilePurgesAfterOpeningItsFile() {
    Link l;
    l.addFile(1, QStringLiteral("00100"), QStringLiteral("not used"), QStringLiteral("/s/a.wav"));
    // A "finished" of something earlier comes in while the file opens.
    l.player.whileOpening = [&l] { l.port.queue(reply('1', 77)); };
    l.run("RecordISD");
    l.answer(':');
    QCOMPARE(l.link().LinkState, int(LinkContext::StateRecording));
    QVERIFY(l.player.IsPlaying());
    QCOMPARE(l.state.panel.address(), QStringLiteral("00100"));
}

void TestLinkFaults::silenceIsToldAndStopThenGoesOutAtOnce_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("plays");
    QTest::newRow("a play that never got a reply") << QStringLiteral("SpeedButton8") << false;
    QTest::newRow("a recording after its first report")
        << QStringLiteral("RecordISD|:|2 110") << true;
    QTest::newRow("a scan after its first message") << QStringLiteral("PlayfromISD2|4 50") << false;
}

void TestLinkFaults::silenceIsToldAndStopThenGoesOutAtOnce() {
    QFETCH(QString, script);
    QFETCH(bool, plays);
    Link l;
    l.addFile(1, QStringLiteral("00100"), QStringLiteral("not used"), QStringLiteral("/s/a.wav"));
    qint64 now = 0;
    ReplyWatchdog watchdog(l.link(), l.state.commands, [&now] { return now; });
    l.play(script);
    QCOMPARE(l.player.IsPlaying(), plays);
    watchdog.restart();
    now = ReplyWatchdog::SilenceLimitMs - 1;
    watchdog.check();
    l.look();
    QVERIFY(!l.link().ProgrammerSilent);
    now = ReplyWatchdog::SilenceLimitMs;
    watchdog.check();
    l.look();
    QVERIFY(l.link().ProgrammerSilent);
    QCOMPARE(l.status, QStringLiteral("The programmer has not answered for 3 s"));
    // The way out is offered.
    QVERIFY(l.enabled("StopISD"));
    QVERIFY(l.enabled("SpeedButton1"));

    const int before = l.sent();
    l.run("StopISD");
    QCOMPARE(l.sent(), before + 1);
    QCOMPARE(hex(l.lastFrame().left(1)), QByteArray("03"));
    QCOMPARE(l.lastFrame().at(7), char(l.link().PowerSetting));
    QCOMPARE(l.link().LinkState, Idle);
    QVERIFY(!l.player.IsPlaying());
    QVERIFY(l.enabled("SpeedButton8"));
    QVERIFY(!l.link().ProgrammerSilent);
    // A report still on its way is answered with a stop as well.
    l.answer('2', 120);
    QCOMPARE(l.lastFrame().at(0), char(3));
}

void TestLinkFaults::chipCommandsOnAClosedPortDoNotStart_data() {
    QTest::addColumn<QByteArray>("action");
    for (const char* action :
         {"SpeedButton8", "Loadlist2", "Playtable1", "PlayfromISD2", "CheckRecords1", "Erase1",
          "RecordISD", "RecordfiletoISD1", "RecTable", "PowerUp", "PowerDown"})
        QTest::newRow(action) << QByteArray(action);
}

void TestLinkFaults::chipCommandsOnAClosedPortDoNotStart() {
    QFETCH(QByteArray, action);
    Link l;
    l.addFile(1, QStringLiteral("00120"), QStringLiteral("not used"), QStringLiteral("/s/a.wav"));
    l.addRecord(1, 200, 299);
    l.state.panel.setText(PanelTexts::Address, QStringLiteral("00042"));
    l.port.Close();
    const QByteArray frame = QByteArray(l.state.frame.data(), CommandFrame::Size);
    l.run(action.constData());
    QCOMPARE(l.prompter.messages, QStringList{ProgrammerConnection::notConnectedText()});
    QVERIFY(l.prompter.messages.first().contains(QStringLiteral("Change comm port")));
    QCOMPARE(l.link().LinkState, Idle);
    QCOMPARE(l.link().PowerSetting, quint8(0));
    QCOMPARE(QByteArray(l.state.frame.data(), CommandFrame::Size), frame);
    QCOMPARE(l.state.panel.address(), QStringLiteral("00042"));
    QCOMPARE(l.state.mapGrid.cell(1, 1), QStringLiteral("00200"));
    QCOMPARE(l.mapShown, 0);
    QVERIFY(l.player.calls.isEmpty());
}

void TestLinkFaults::portClosingEndsTheOperation_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("ending");
    QTest::newRow("scan") << QStringLiteral("PlayfromISD2|4 50") << int(LinkContext::StateScanning)
                          << QStringLiteral("Scan not completed");
    QTest::newRow("play") << QStringLiteral("SpeedButton8|2 10") << int(LinkContext::StatePlaying)
                          << QStringLiteral("Playing not completed");
    QTest::newRow("recording") << QStringLiteral("RecordISD|:|2 110")
                               << int(LinkContext::StateRecording)
                               << QStringLiteral("Recording not completed");
    QTest::newRow("table recording")
        << QStringLiteral("RecTable|:|2 10") << int(LinkContext::StateRecordingTable)
        << QStringLiteral("Recorded 0 of 1 file");
    QTest::newRow("erase") << QStringLiteral("Erase1|:") << int(LinkContext::StateErasing)
                           << QStringLiteral("Erase not completed");
}

void TestLinkFaults::portClosingEndsTheOperation() {
    QFETCH(QString, script);
    QFETCH(int, state);
    QFETCH(QString, ending);
    Link l;
    l.addFile(1, QStringLiteral("00100"), QStringLiteral("not used"), QStringLiteral("/s/a.wav"));
    l.play(script);
    QCOMPARE(l.link().LinkState, state);
    l.port.vanish();
    l.look();
    QCOMPARE(l.link().LinkState, Idle);
    QVERIFY(!l.player.IsPlaying());
    QVERIFY(!l.link().StopRequested);
    QVERIFY(l.enabled("SpeedButton8"));
    QVERIFY(l.enabled("PlayfromISD2"));
    QVERIFY(l.enabled("RecordISD"));
    QVERIFY(l.enabled("Erase1"));
    QCOMPARE(l.status, ending);
    QVERIFY(l.prompter.errors.isEmpty());
}

void TestLinkFaults::memoryScanStartsAtTheStartOfMemory_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QString>("shown");
    QTest::newRow("ISD 33060") << 1 << QByteArray("04 00 00") << QStringLiteral("0000");
    QTest::newRow("ISD 1740") << 42 << QByteArray("04 00 10") << QStringLiteral("0010");
}

void TestLinkFaults::memoryScanStartsAtTheStartOfMemory() {
    QFETCH(int, type);
    QFETCH(QByteArray, start);
    QFETCH(QString, shown);
    Link l(type);
    // A map whose first record is not at the start (a loaded map, or what
    // Check records found), its second row selected.
    l.addRecord(1, 100, 199);
    l.addRecord(2, 200, 249);
    l.state.mapGrid.setRow(2);
    l.run("PlayfromISD2");
    QCOMPARE(hex(l.lastFrame().left(3)), start);
    QCOMPARE(l.state.panel.addressHex(), shown);
    QCOMPARE(l.state.mapGrid.cell(1, 1), QString());
}

void TestLinkFaults::readyWithABadPowerDigitKeepsTheSetting_data() {
    QTest::addColumn<char>("digit");
    QTest::addColumn<int>("power");
    QTest::newRow("a letter") << 'X' << 1;
    QTest::newRow("another digit") << '7' << 1;
    QTest::newRow("a zero byte") << '\0' << 1;
    QTest::newRow("0 is taken") << '0' << 0;
}

void TestLinkFaults::readyWithABadPowerDigitKeepsTheSetting() {
    QFETCH(char, digit);
    QFETCH(int, power);
    Link l;
    l.run("PowerUp");
    l.answer(';', 0, digit);
    // The set-chip answer goes out all the same.
    QCOMPARE(l.lastFrame().at(0), char(5));
    QCOMPARE(int(l.lastFrame().at(7)), power);
    QCOMPARE(int(l.link().PowerSetting), power);
    l.run("SpeedButton8");
    QCOMPARE(int(l.lastFrame().at(7)), power);
}

void TestLinkFaults::eraseOfAnOlderChipCoversTheWholeMemory_data() {
    QTest::addColumn<int>("type");
    QTest::newRow("ISD 33060") << 1;
    QTest::newRow("ISD 4004-16") << 13;
    QTest::newRow("ISD 5116 8 kHz") << 25;
    QTest::newRow("ISD 1730") << 41;
}

void TestLinkFaults::eraseOfAnOlderChipCoversTheWholeMemory() {
    QFETCH(int, type);
    Link l(type);
    const bool isd1700 = type > 40;
    l.addFile(1, QStringLiteral("00016"), QStringLiteral("00036"), QStringLiteral("/s/a.wav"));
    l.play(QStringLiteral("RecordISD|:|1 36"));
    // The recording left its stop address 36 in bytes 4-6.
    QCOMPARE(hex(l.lastFrame().mid(4, 3)), QByteArray("01 00 24"));
    l.run("Erase1");
    const QByteArray frame = l.lastFrame();
    QCOMPARE(int(frame.at(0)), isd1700 ? 10 : 2);
    QCOMPARE(hex(frame.mid(1, 2)), QByteArray("00 00"));
    if (isd1700) {
        // The ISD 1700 erase is a command of its own: bytes 4-6 stay.
        QCOMPARE(hex(frame.mid(4, 3)), QByteArray("01 00 24"));
    } else {
        const quint16 last = l.state.chip.LastAddress;
        QCOMPARE(int(frame.at(4)), 0);
        QCOMPARE(quint8(frame.at(5)), quint8(last >> 8));
        QCOMPARE(quint8(frame.at(6)), quint8(last & 0xFF));
    }
    QCOMPARE(l.link().LinkState, int(LinkContext::StateErasing));
}

void TestLinkFaults::tableRowThatCannotOpenSendsNothing() {
    Link l;
    l.addFile(1, QStringLiteral("not used"), QStringLiteral("not used"), QStringLiteral("/a.wav"));
    l.addFile(2, QStringLiteral("not used"), QStringLiteral("not used"),
              QStringLiteral("/gone.wav"));
    l.player.missing.append(QStringLiteral("/gone.wav"));
    l.play(QStringLiteral("RecTable|:|finish|2 50"));
    QCOMPARE(l.lastFrame().at(0), char(3));
    const int before = l.sent();
    // The programmer has just reported "finished": it is told nothing more.
    l.answer('1', 51);
    QCOMPARE(l.sent(), before);
    QCOMPARE(l.prompter.errors.size(), 1);
    QCOMPARE(l.link().LinkState, Idle);
    QCOMPARE(l.state.frame[7], l.link().PowerSetting);
    QVERIFY(l.enabled("SpeedButton8"));
    QCOMPARE(l.status, QStringLiteral("Recorded 1 of 2 files"));
}

void TestLinkFaults::statusClaimsOnlyWhatHappened_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("ending");
    QTest::newRow("a recording the programmer finished")
        << QStringLiteral("RecordISD|:|2 110|finish|2 120|1 121")
        << QStringLiteral("Recorded a.wav");
    QTest::newRow("a recording that reached its end address")
        << QStringLiteral("RecordISD|:|2 110|1 399") << QStringLiteral("Recorded a.wav");
    QTest::newRow("a recording ended by an overflow")
        << QStringLiteral("RecordISD|:|2 110|7 399") << QStringLiteral("Recording not completed");
    QTest::newRow("a recording the user stopped")
        << QStringLiteral("RecordISD|:|2 110|StopISD|2 120|1 121")
        << QStringLiteral("Recording stopped");
    QTest::newRow("a recording that never started")
        << QStringLiteral("RecordISD|<") << QStringLiteral("Recording not completed");
    QTest::newRow("an erase the programmer finished")
        << QStringLiteral("Erase1|:|2 200|1 400") << QStringLiteral("Chip erased");
    QTest::newRow("an erase without a chip")
        << QStringLiteral("Erase1|<") << QStringLiteral("Erase not completed");
    QTest::newRow("an erase the user stopped")
        << QStringLiteral("Erase1|:|2 200|StopISD|2 210|1 211") << QStringLiteral("Erase stopped");
    QTest::newRow("a scan that met an address beyond the chip")
        << QStringLiteral("PlayfromISD2|4 50|4 900") << QStringLiteral("Scan not completed");
    QTest::newRow("a scan the user stopped")
        << QStringLiteral("PlayfromISD2|4 50|StopISD|4 70") << QStringLiteral("Scan stopped");
}

void TestLinkFaults::statusClaimsOnlyWhatHappened() {
    QFETCH(QString, script);
    QFETCH(QString, ending);
    Link l;
    l.addFile(1, QStringLiteral("00100"), QStringLiteral("not used"), QStringLiteral("/s/a.wav"));
    l.play(script);
    QCOMPARE(l.link().LinkState, Idle);
    QCOMPARE(l.status, ending);
}

void TestLinkFaults::addressDisplaysNeverDisagree_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("dec");
    QTest::addColumn<QString>("hex");
    QTest::newRow("memory scan") << QStringLiteral("PlayfromISD2") << QStringLiteral("00000")
                                 << QStringLiteral("0000");
    QTest::newRow("check records")
        << QStringLiteral("CheckRecords1") << QStringLiteral("00200") << QStringLiteral("00C8");
    QTest::newRow("end of check records") << QStringLiteral("CheckRecords1|4 260|4 300")
                                          << QStringLiteral("00200") << QStringLiteral("00C8");
    QTest::newRow("erase") << QStringLiteral("Erase1") << QStringLiteral("00000")
                           << QStringLiteral("0000");
    QTest::newRow("change current address") << QStringLiteral("ChangecurrentISDadress1")
                                            << QStringLiteral("00300") << QStringLiteral("012C");
    QTest::newRow("a file row selected")
        << QStringLiteral("select row 2") << QStringLiteral("00260") << QStringLiteral("0104");
}

void TestLinkFaults::addressDisplaysNeverDisagree() {
    QFETCH(QString, script);
    QFETCH(QString, dec);
    QFETCH(QString, hex);
    Link l;
    l.addFile(1, QStringLiteral("00200"), QStringLiteral("not used"), QStringLiteral("/s/a.wav"));
    l.addFile(2, QStringLiteral("00260"), QStringLiteral("not used"), QStringLiteral("/s/b.wav"));
    l.address.text = QStringLiteral("300");
    // The displays show an address of an earlier operation.
    l.state.panel.setText(PanelTexts::Address, QStringLiteral("00074"));
    QCOMPARE(l.state.panel.addressHex(), QStringLiteral("004A"));
    if (script == QLatin1String("select row 2"))
        l.chipLink->fileRows.SelectFileRow(2);
    else
        l.play(script);
    QCOMPARE(l.state.panel.address(), dec);
    QCOMPARE(l.state.panel.addressHex(), hex);
}

QTEST_MAIN(TestLinkFaults)
#include "tst_linkfaults.moc"
