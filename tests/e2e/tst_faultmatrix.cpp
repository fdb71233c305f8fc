// The faults of the line and the disk that the other end-to-end tests do not
// cover yet, one test each, named after the fault. docs/RELIABILITY.md lists
// every fault with the test that shows what the program does about it.

#include "emuprogram.h"
#include "fakecomport.h"
#include "link/chiplink.h"
#include "messageboxes.h"
#include "residentmemory.h"
#include "widgets/portdialog.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <functional>
#include <sys/resource.h>

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The stand-in's "ready" reply, which the program answers with the chip type.
QByteArray readyFrame() {
    QByteArray frame(";000001");
    frame += QByteArray(13, '\0');
    return frame;
}

QString hexWords(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' '));
}

// The wired program with the real port on the stand-in's line, and a
// message box on the screen for every message, as the user sees them: the box
// runs its own event loop, so replies go on arriving while it is open.
struct Bench : EmuProgram {
    MessageBoxes boxes{prompter};
    // Runs once, with the first box open; the box closes after it.
    std::function<void()>& whileOpen = boxes.whileOpen;

    bool start(const QStringList& extra = {}, const QString& timeScale = QStringLiteral("0.01")) {
        // The chip type goes out twice: when the chip type dialog applies
        // the stored type, and as the answer to the stand-in's announcement.
        return EmuProgram::start({QByteArray(), 1, timeScale, 0, extra}) && waitForSetChips(2);
    }
    int setChips() { return logged(QStringLiteral("SetChip")); }
    ReplyIntake& intake() { return w().findChild<ChipLink*>()->replies.intake(); }
    bool waitForSetChips(int count) {
        return QTest::qWaitFor([&] { return setChips() >= count; }, 10000);
    }
};

} // namespace

class TestFaultMatrix : public QObject {
    Q_OBJECT

private slots:
    void replySplitInTwoAtEveryByteIsTakenWhole();
    void twoRepliesInOneDeliveryAreTakenInOrder();
    void garbageBetweenRepliesIsDroppedAndTheNextReplyTaken();
    void hangUpLeavesPortClosedAndProcessIdle_data();
    void hangUpLeavesPortClosedAndProcessIdle();
    void deviceComingBackIsOpenedFromThePortDialog();
    void repliesArrivingWhileAMessageBoxIsOpenWaitForIt();
    void babblingLineWhileAMessageBoxIsOpenKeepsMemoryFlat();
    void listSavedOnAFillingDiskKeepsTheOldFile();
    void listSavedOnAFullDeviceIsReported();
};

void TestFaultMatrix::replySplitInTwoAtEveryByteIsTakenWhole() {
    Bench b;
    QVERIFY(b.start());
    const QByteArray frame = readyFrame();
    for (int cut = 1; cut < frame.size(); ++cut) {
        const int before = b.setChips();
        b.emu.command(QStringLiteral("raw ") + hexWords(frame.left(cut)));
        // The first piece has come and waits for the rest.
        QTRY_COMPARE(b.intake().begun(), cut);
        QCOMPARE(b.setChips(), before);
        b.emu.command(QStringLiteral("raw ") + hexWords(frame.mid(cut)));
        QVERIFY2(b.waitForSetChips(before + 1), qPrintable(QStringLiteral("cut at %1").arg(cut)));
        QTRY_COMPARE(b.intake().begun(), 0);
        QCOMPARE(b.setChips(), before + 1);
    }
    QVERIFY(b.prompter.errors.isEmpty());
    QCOMPARE(b.state().link.NoiseBytesDropped, quint64(0));
    QCOMPARE(b.state().link.LinkState, 3);
}

void TestFaultMatrix::twoRepliesInOneDeliveryAreTakenInOrder() {
    Bench b;
    QVERIFY(b.start());
    const int before = b.setChips();
    // "No chip" and "ready" together: both are taken, in that order.
    b.emu.command(QStringLiteral("pair < 0 ; 0"));
    QTRY_COMPARE_WITH_TIMEOUT(b.prompter.messages.size(), 2, 10000);
    QCOMPARE(b.prompter.messages.first(), QStringLiteral("Device not detected !"));
    QVERIFY(b.waitForSetChips(before + 1));
    // The next reply on its own is taken too.
    b.emu.command(QStringLiteral("announce"));
    QVERIFY(b.waitForSetChips(before + 2));
    QCOMPARE(b.state().link.LinkState, 3);
    QCOMPARE(b.state().link.RepliesTaken, quint64(3 + 1));
}

void TestFaultMatrix::garbageBetweenRepliesIsDroppedAndTheNextReplyTaken() {
    Bench b;
    QVERIFY(b.start());
    const int before = b.setChips();
    // Seven bytes of noise, then a reply: the noise is dropped, the reply
    // taken. Each piece is seen to arrive before the next is sent.
    b.emu.command(QStringLiteral("raw ") + hexWords(QByteArray(7, '\x7F')));
    QTRY_COMPARE(b.state().link.NoiseBytesDropped, quint64(7));
    b.emu.command(QStringLiteral("raw ") + hexWords(readyFrame()));
    QVERIFY(b.waitForSetChips(before + 1));
    // A whole frame of noise that starts with a reply code: nothing happens.
    b.emu.command(QStringLiteral("raw 37 ") + hexWords(QByteArray(19, 'X')));
    QTRY_COMPARE(b.state().link.NoiseBytesDropped, quint64(7 + 20));
    QCOMPARE(b.setChips(), before + 1);
    // The next reply is taken.
    b.emu.command(QStringLiteral("announce"));
    QVERIFY(b.waitForSetChips(before + 2));
    QVERIFY(b.prompter.messages.isEmpty());
    QVERIFY(b.prompter.errors.isEmpty());
    QCOMPARE(b.state().link.LinkState, 3);
}

void TestFaultMatrix::hangUpLeavesPortClosedAndProcessIdle_data() {
    QTest::addColumn<QByteArray>("action");
    QTest::addColumn<QString>("started");
    QTest::addColumn<int>("state");
    QTest::newRow("during a scan")
        << QByteArray("PlayfromISD2") << QStringLiteral("Scan start") << 4;
    QTest::newRow("during a play")
        << QByteArray("SpeedButton8") << QStringLiteral("Play start") << 1;
    QTest::newRow("during a recording")
        << QByteArray("RecordISD") << QStringLiteral("Record start") << 2;
}

void TestFaultMatrix::hangUpLeavesPortClosedAndProcessIdle() {
    QFETCH(QByteArray, action);
    QFETCH(QString, started);
    QFETCH(int, state);
    Bench b;
    // Real time: an operation on an empty ISD 33060 lasts seconds.
    QVERIFY(b.start({}, QStringLiteral("1")));
    b.state().fileGrid.setCell(FileColumn::Start, 1, QStringLiteral("00000"));
    b.state().fileGrid.setCell(FileColumn::Stop, 1, QStringLiteral("not used"));
    b.state().fileGrid.setCell(FileColumn::File, 1, QStringLiteral("/s/long.wav"));
    b.state().availability.UpdateMenu();
    b.run(action.constData());
    QVERIFY(b.emu.waitForLog(started));
    QCOMPARE(b.state().link.LinkState, state);
    b.emu.command(QStringLiteral("hangup"));
    QTRY_VERIFY_WITH_TIMEOUT(!b.port.Active(), 10000);
    QTRY_COMPARE(b.state().panel.portNumber(), QStringLiteral("not connected"));
    QCOMPARE(b.prompter.messages.size(), 1);
    QVERIFY(b.prompter.messages.first().contains(QStringLiteral("disconnected")));
    // No reply can come to end it: it ends here, and whatever played with it.
    QCOMPARE(b.state().link.LinkState, 3);
    QVERIFY(!b.player.IsPlaying());

    // Two seconds with nothing to do: the process must not spin on the dead
    // line. This is a measuring window, not a wait for something.
    const double before = cpuSeconds();
    QTest::qWait(2000);
    const double used = cpuSeconds() - before;
    QVERIFY2(used < 0.2, qPrintable(QStringLiteral("%1 s of CPU in 2 s").arg(used)));
    QCOMPARE(b.prompter.messages.size(), 1);

    b.state().handlers.run(Handler::StopChip);
    QCOMPARE(b.state().link.LinkState, 3);
}

void TestFaultMatrix::deviceComingBackIsOpenedFromThePortDialog() {
    Bench b;
    QVERIFY(b.start());
    b.emu.command(QStringLiteral("hangup"));
    QTRY_VERIFY_WITH_TIMEOUT(!b.port.Active(), 10000);
    QVERIFY(b.emu.finished());

    // Plugged in again: a new device, mapped to COM1 once more.
    EmuProcess again;
    QVERIFY(again.start(b.standInArguments({})));
    PortDialog* dialog = b.w().portDialog();
    QVERIFY(dialog);
    QTimer::singleShot(0, dialog, [dialog] {
        dialog->portButton(1)->setChecked(true);
        dialog->findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
    });
    b.run("ChangePort");
    QVERIFY(b.port.Active());
    QCOMPARE(b.state().panel.portNumber(), QStringLiteral("1"));
    QVERIFY(again.waitForLog(QStringLiteral("# port opened")));
    // It announces itself and is told the chip type, and a scan runs.
    QVERIFY(again.waitForLog(QStringLiteral("SetChip")));
    b.run("PlayfromISD2");
    QTRY_COMPARE_WITH_TIMEOUT(b.state().mapGrid.cell(MapColumn::Ovf, 1), QStringLiteral("00400"),
                              10000);
    QCOMPARE(b.state().link.LinkState, 3);
}

void TestFaultMatrix::repliesArrivingWhileAMessageBoxIsOpenWaitForIt() {
    Bench b;
    QVERIFY(b.start({QStringLiteral("--no-chip")}));
    const int before = b.setChips();
    bool waited = false;
    int answeredWhileOpen = -1;
    int stateWhileOpen = -1;
    b.whileOpen = [&] {
        // The box says the device was not detected; meanwhile the programmer
        // sends another reply.
        b.emu.command(QStringLiteral("announce"));
        waited = QTest::qWaitFor([&] { return b.port.ReadBufUsed() >= 20; }, 10000);
        answeredWhileOpen = b.setChips() - before;
        stateWhileOpen = b.state().link.LinkState;
    };
    b.run("PlayfromISD2");
    QTRY_COMPARE_WITH_TIMEOUT(b.prompter.messages.size(), 2, 10000);
    QVERIFY(waited);
    // The reply waited for the reaction to the one before to end.
    QCOMPARE(answeredWhileOpen, 0);
    QCOMPARE(stateWhileOpen, 3);
    QVERIFY(b.waitForSetChips(before + 1));
    QCOMPARE(b.prompter.messages, QStringList({QStringLiteral("Device not detected !"),
                                               QStringLiteral("Please select right ISD device")}));
    QVERIFY(b.prompter.errors.isEmpty());
}

void TestFaultMatrix::babblingLineWhileAMessageBoxIsOpenKeepsMemoryFlat() {
    Bench b;
    QVERIFY(b.start({QStringLiteral("--no-chip")}));
    const int before = b.setChips();
    // Far faster than the line's 5760 bytes a second, as fast as the
    // stand-in can: 24 MB offered in 6 s while nothing is delivered.
    const int seconds = 6;
    const int rate = 4000000;
    qint64 baseline = 0;
    qint64 peak = 0;
    int mostWaiting = 0;
    bool ended = false;
    b.whileOpen = [&] {
        baseline = residentBytes();
        peak = baseline;
        b.emu.command(QStringLiteral("babble %1 %2").arg(seconds).arg(rate));
        // A measuring window while the box is open: memory and what the port
        // holds are sampled until the babble has ended.
        ended = QTest::qWaitFor(
            [&] {
                peak = qMax(peak, residentBytes());
                mostWaiting = qMax(mostWaiting, b.port.ReadBufUsed());
                return b.emu.logContains(QStringLiteral("babble ended"));
            },
            // The stand-in's ticks come late on a loaded machine.
            (seconds * 4 + 20) * 1000);
    };
    b.run("PlayfromISD2");
    QTRY_COMPARE_WITH_TIMEOUT(b.prompter.messages.size(), 2, (seconds * 4 + 30) * 1000);
    QVERIFY(ended);
    const qint64 growth = peak - baseline;
    qInfo("babble %d s at %d bytes a second with a box open: resident memory %+lld KiB at most, "
          "the port held %d bytes at most; %s",
          seconds, rate, growth / 1024, mostWaiting,
          qPrintable(b.emu.log().filter(QStringLiteral("babble ended")).value(0)));
    // The port reads no further ahead than its bound; the rest stays with the
    // driver, whose queue is bounded too.
    QVERIFY2(mostWaiting <= SerialComPort::ReadSize, qPrintable(QString::number(mostWaiting)));
    // A generous bound on the whole process (bench/babble_bench runs 30 s).
    // AddressSanitizer keeps freed memory aside, so there the resident
    // memory tells nothing about the line.
#if !defined(__SANITIZE_ADDRESS__)
    QVERIFY2(growth < 10 * 1024 * 1024, qPrintable(QString::number(growth)));
#endif
    // What waited is dropped as noise, and the next reply is taken.
    QTRY_VERIFY(b.port.ReadBufUsed() == 0);
    b.emu.command(QStringLiteral("announce"));
    QVERIFY(b.waitForSetChips(before + 1));
    QVERIFY(b.state().link.NoiseBytesDropped > 0);
    QVERIFY(b.prompter.errors.isEmpty());
    QCOMPARE(b.prompter.messages.size(), 2);
}

void TestFaultMatrix::listSavedOnAFillingDiskKeepsTheOldFile() {
    FakeProgram program(SettingsFile().text());
    const TempFolder& folder = program.folder;
    FakePrompter& prompter = program.prompter;
    MainWindow& w = program.w();
    const QString list = folder.file(QStringLiteral("sounds.lsp"));
    w.state().fileGrid.setCell(FileColumn::Start, 1, QStringLiteral("00000"));
    w.state().fileGrid.setCell(FileColumn::Stop, 1, QStringLiteral("00100"));
    w.state().fileGrid.setCell(FileColumn::File, 1, QStringLiteral("/s/one.wav"));
    w.state().availability.UpdateMenu();
    prompter.answers = {list};
    w.state().commands.action(QStringLiteral("SaveList"))->trigger();
    const QByteArray old = folder.read(QStringLiteral("sounds.lsp"));
    QCOMPARE(old, QByteArray("00000;00100;/s/one.wav;\r\n"));

    // A hundred rows with long names: far more than the disk has left.
    const QString longName =
        QStringLiteral("/sounds/") + QString(200, u'n') + QStringLiteral(".wav");
    for (int row = 1; row <= 100; ++row) {
        w.state().fileGrid.setCell(FileColumn::Start, row, QStringLiteral("not used"));
        w.state().fileGrid.setCell(FileColumn::Stop, row, QStringLiteral("not used"));
        w.state().fileGrid.setCell(FileColumn::File, row, longName);
    }
    w.state().availability.UpdateMenu();

    // The disk fills after 4 KiB: every write past that fails.
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit small = previous;
    small.rlim_cur = 4096;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    w.state().handlers.run(Handler::SaveList);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    QCOMPARE(prompter.errors.size() + prompter.messages.size(), 1);
    const QString told =
        prompter.errors.isEmpty() ? prompter.messages.first() : prompter.errors.first();
    QVERIFY2(told.contains(QStringLiteral("sounds.lsp")), qPrintable(told));
    QCOMPARE(folder.read(QStringLiteral("sounds.lsp")), old);
    // Nothing of the cut-off file is left beside it.
    QCOMPARE(
        QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("sounds")),
        QStringList{QStringLiteral("sounds.lsp")});
    // The table is whole, and with room on the disk it saves.
    QCOMPARE(w.state().fileGrid.cell(FileColumn::File, 100), longName);
    w.state().handlers.run(Handler::SaveList);
    QVERIFY(folder.read(QStringLiteral("sounds.lsp")).size() > 4096);
}

void TestFaultMatrix::listSavedOnAFullDeviceIsReported() {
    if (!QFile::exists(QStringLiteral("/dev/full")))
        QSKIP("no /dev/full on this system");
    FakeProgram program(SettingsFile().text());
    const TempFolder& folder = program.folder;
    FakePrompter& prompter = program.prompter;
    MainWindow& w = program.w();
    w.state().fileGrid.setCell(FileColumn::Start, 1, QStringLiteral("00000"));
    w.state().fileGrid.setCell(FileColumn::Stop, 1, QStringLiteral("00100"));
    w.state().fileGrid.setCell(FileColumn::File, 1, QStringLiteral("/s/one.wav"));
    w.state().availability.UpdateMenu();
    // The list the user chooses is a link to the full device, as a list on
    // a disk that has no room left at all.
    const QString list = folder.file(QStringLiteral("full.lsp"));
    QVERIFY(QFile::link(QStringLiteral("/dev/full"), list));
    prompter.answers = {list};
    w.state().commands.action(QStringLiteral("SaveList"))->trigger();
    QCOMPARE(prompter.errors.size() + prompter.messages.size(), 1);
    const QString told =
        prompter.errors.isEmpty() ? prompter.messages.first() : prompter.errors.first();
    QVERIFY2(told.contains(QStringLiteral("full.lsp")), qPrintable(told));
    // The table does not take the device as its list.
    QVERIFY(w.state().listFileName != list);
    QCOMPARE(w.state().fileGrid.cell(FileColumn::File, 1), QStringLiteral("/s/one.wav"));
}

QTEST_MAIN(TestFaultMatrix)
#include "tst_faultmatrix.moc"
