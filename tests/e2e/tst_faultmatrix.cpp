// The faults of the line and the disk that the other end-to-end tests do not
// cover yet, one test each, named after the fault. docs/RELIABILITY.md lists
// every fault with the test that shows what the program does about it.

#include "emuprogram.h"
#include "fakecomport.h"
#include "widgets/portdialog.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
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
    // Runs once, with the first box open; the box closes after it.
    std::function<void()> whileOpen;

    Bench() {
        prompter.onMessage = [this](const QString& text) {
            QMessageBox box(QMessageBox::Information, QStringLiteral("isdvokar"), text);
            QTimer::singleShot(0, &box, [this, &box] {
                if (const std::function<void()> job = std::exchange(whileOpen, nullptr))
                    job();
                box.accept();
            });
            box.exec();
        };
    }

    bool start(const QStringList& extra = {}, const QString& timeScale = QStringLiteral("0.01")) {
        // The chip type goes out twice: when the chip type dialog applies
        // the stored type, and as the answer to the stand-in's announcement.
        return EmuProgram::start({QByteArray(), 1, timeScale, 0, extra}) && waitForSetChips(2);
    }
    int setChips() { return logged(QStringLiteral("SetChip")); }
    bool waitForSetChips(int count) {
        return QTest::qWaitFor([&] { return setChips() >= count; }, 10000);
    }
};

} // namespace

class TestFaultMatrix : public QObject {
    Q_OBJECT

private slots:
    void replySplitInTwoAtEveryByteIsTakenWhole();
    void twoRepliesInOneDeliveryOnlyTheFirstCounts();
    void garbageBetweenRepliesIsDroppedAndTheNextReplyTaken();
    void hangUpLeavesPortClosedAndProcessIdle_data();
    void hangUpLeavesPortClosedAndProcessIdle();
    void deviceComingBackIsOpenedFromThePortDialog();
    void repliesArrivingWhileAMessageBoxIsOpenWaitForIt();
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
        // The first piece is on the line and waits for the rest.
        QTRY_COMPARE(b.port.ReadBufUsed(), cut);
        QCOMPARE(b.setChips(), before);
        b.emu.command(QStringLiteral("raw ") + hexWords(frame.mid(cut)));
        QVERIFY2(b.waitForSetChips(before + 1), qPrintable(QStringLiteral("cut at %1").arg(cut)));
        QTRY_COMPARE(b.port.ReadBufUsed(), 0);
        QCOMPARE(b.setChips(), before + 1);
    }
    QVERIFY(b.prompter.errors.isEmpty());
    QCOMPARE(b.state().link.LinkState, 3);
}

void TestFaultMatrix::twoRepliesInOneDeliveryOnlyTheFirstCounts() {
    Bench b;
    QVERIFY(b.start());
    const int before = b.setChips();
    // "No chip" and "ready" together: the first is taken, the second goes
    // with the rest of the read.
    b.emu.command(QStringLiteral("pair < 0 ; 0"));
    QTRY_COMPARE_WITH_TIMEOUT(b.prompter.messages.size(), 2, 10000);
    QCOMPARE(b.prompter.messages.first(), QStringLiteral("Device not detected !"));
    // The next reply on its own is taken: had the dropped one been taken,
    // its answer would have reached the stand-in first.
    b.emu.command(QStringLiteral("announce"));
    QVERIFY(b.waitForSetChips(before + 1));
    QTRY_COMPARE(b.port.ReadBufUsed(), 0);
    QCOMPARE(b.setChips(), before + 1);
    QCOMPARE(b.state().link.LinkState, 3);
}

void TestFaultMatrix::garbageBetweenRepliesIsDroppedAndTheNextReplyTaken() {
    Bench b;
    QVERIFY(b.start());
    const int before = b.setChips();
    // Seven bytes of noise, then a reply: the frame taken is the noise and
    // the head of the reply, and the reply's tail goes with the rest of the
    // read. Each piece is seen to arrive before the next is sent.
    b.emu.command(QStringLiteral("raw ") + hexWords(QByteArray(7, '\x7F')));
    QTRY_COMPARE(b.port.ReadBufUsed(), 7);
    b.emu.command(QStringLiteral("raw ") + hexWords(readyFrame()));
    QTRY_COMPARE(b.port.ReadBufUsed(), 0);
    // A whole frame of noise: no reply code, nothing happens.
    b.emu.command(QStringLiteral("raw ") + hexWords(QByteArray(10, 'X')));
    QTRY_COMPARE(b.port.ReadBufUsed(), 10);
    b.emu.command(QStringLiteral("raw ") + hexWords(QByteArray(10, 'X')));
    QTRY_COMPARE(b.port.ReadBufUsed(), 0);
    QCOMPARE(b.setChips(), before);
    // The line is in step again with the next reply.
    b.emu.command(QStringLiteral("announce"));
    QVERIFY(b.waitForSetChips(before + 1));
    QTRY_COMPARE(b.port.ReadBufUsed(), 0);
    QCOMPARE(b.setChips(), before + 1);
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
    b.emu.command(QStringLiteral("hangup"));
    QTRY_VERIFY_WITH_TIMEOUT(!b.port.Active(), 10000);
    QTRY_COMPARE(b.state().panel.portNumber(), QStringLiteral("not connected"));
    QCOMPARE(b.prompter.messages.size(), 1);
    QVERIFY(b.prompter.messages.first().contains(QStringLiteral("disconnected")));
    QCOMPARE(b.state().link.LinkState, state); // no reply will come to end it

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
