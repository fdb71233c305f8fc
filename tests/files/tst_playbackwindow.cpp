#include "app/mainwindow.h"
#include "app/startup.h"
#include "fakecomport.h"
#include "fakeplayer.h"
#include "fakeprompter.h"
#include "files/player.h"
#include "nullsinkserver.h"
#include "tempfolder.h"
#include "testsounds.h"

#include <QTest>
#include <memory>
#include <sndfile.h>

namespace {

const QString notUsed = QStringLiteral("not used");

// The program as start-up builds it, on a fake port, with the given player.
struct Program {
    TempFolder folder;
    FakeComPort port;
    FakePrompter prompter;
    Windows windows;

    explicit Program(MediaPlayer& player) {
        windows = createWindows(port, &player, prompter, QStringLiteral("isdvokar.fig"));
    }
    MainWindow& main() { return *windows.main; }
    // A table of one file, row 1 selected, its commands switched on as
    // adding a file does.
    void tableOf(const QString& path) {
        main().state().fileGrid.setCell(1, 1, QStringLiteral("00000"));
        main().state().fileGrid.setCell(2, 1, notUsed);
        main().state().fileGrid.setCell(3, 1, path);
        main().state().fileGrid.setRow(1);
        main().state().availability.UpdateMenu();
    }
    void click(const char* control) {
        main().state().commands.action(QString::fromLatin1(control))->trigger();
    }
    bool on(const char* control) {
        return main().state().commands.isEnabled(QString::fromLatin1(control));
    }
    bool showsPlaying() {
        return on("SpeedButton7") && on("Stop2") && !on("OdtwarzajPlik") && !on("PlayFile");
    }
    bool showsStopped() {
        return !on("SpeedButton7") && !on("Stop2") && on("OdtwarzajPlik") && on("PlayFile") &&
               on("RecordISD") && on("RecordfiletoISD1") && on("RecTable");
    }
};

} // namespace

class PlaybackWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void playFileAndStopRunTheirHandlers();
    void fileOfTheTablePlaysFromPlayFileAndEndsOrStops_data();
    void fileOfTheTablePlaysFromPlayFileAndEndsOrStops();

private:
    NullSinkServer sound;
};

void PlaybackWindowTest::initTestCase() {
    QString error;
    QVERIFY2(sound.start(error), qPrintable(error));
}

void PlaybackWindowTest::cleanupTestCase() {
    sound.stop();
}

void PlaybackWindowTest::playFileAndStopRunTheirHandlers() {
    FakePlayer player;
    Program program(player);
    program.tableOf(QStringLiteral("/sounds/one.wav"));

    program.click("PlayFile");
    QCOMPARE(player.calls,
             QStringList({QStringLiteral("Open /sounds/one.wav"), QStringLiteral("Play")}));
    QVERIFY(program.showsPlaying());

    program.click("Stop2");
    QCOMPARE(player.calls.last(), QStringLiteral("Stop"));
    QVERIFY(program.showsStopped());
    QVERIFY(program.main().state().link.StopRequested);
    // The fake notifies at once from Stop(); the window's handler took it.
    QVERIFY(!program.main().state().link.IgnorePlayEnd);

    program.click("OdtwarzajPlik");
    player.finish();
    QVERIFY(program.showsStopped());
    QVERIFY(!program.main().state().link.StopRequested);
}

void PlaybackWindowTest::fileOfTheTablePlaysFromPlayFileAndEndsOrStops_data() {
    QTest::addColumn<bool>("midi");
    QTest::addColumn<bool>("stop");
    QTest::newRow("WAV to its end") << false << false;
    QTest::newRow("MIDI to its end") << true << false;
    QTest::newRow("WAV stopped") << false << true;
    QTest::newRow("MIDI stopped") << true << true;
}

void PlaybackWindowTest::fileOfTheTablePlaysFromPlayFileAndEndsOrStops() {
    QFETCH(bool, midi);
    QFETCH(bool, stop);
    Player player;
    Program program(player);
    // Half a second to its end; three seconds when it is to be stopped.
    const QString path =
        program.folder.file(midi ? QStringLiteral("sound.mid") : QStringLiteral("sound.wav"));
    const double seconds = stop ? 3.0 : 0.5;
    if (midi)
        QVERIFY(TestSounds::writeFile(path, TestSounds::midiNote(int(seconds * 960))));
    else
        QVERIFY(TestSounds::writeToneWav(path, 22050, 1, seconds, SF_FORMAT_PCM_16));
    program.tableOf(path);
    sound.clearSound();

    program.click("OdtwarzajPlik");

    QVERIFY(program.prompter.messages.isEmpty());
    QVERIFY(program.showsPlaying());
    QVERIFY(player.IsPlaying());
    QVERIFY(NullSinkServer::waitFor([&] { return sound.heardSound(); }, 2000));
    if (stop) {
        program.click("SpeedButton7");
        QVERIFY(!player.IsPlaying());
        QVERIFY(program.main().state().link.StopRequested);
        QCOMPARE(program.main().state().link.LinkState, int(LinkContext::StateIdle));
    }
    QTRY_VERIFY_WITH_TIMEOUT(program.showsStopped(), 5000);
    // The notification has come and used up the flag set for listening.
    QTRY_VERIFY_WITH_TIMEOUT(!program.main().state().link.IgnorePlayEnd, 5000);
    QCOMPARE(program.main().state().link.StopRequested, stop);
    if (stop)
        QVERIFY(sound.soundSeconds() < 1.5);
    else
        QVERIFY(sound.soundSeconds() > 0.4);
}

QTEST_MAIN(PlaybackWindowTest)
#include "tst_playbackwindow.moc"
