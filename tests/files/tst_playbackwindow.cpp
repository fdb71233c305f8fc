#include "files/player.h"
#include "nullsinkserver.h"
#include "testsounds.h"
#include "wiredprogram.h"

#include <QTest>
#include <memory>
#include <sndfile.h>

namespace {

const QString notUsed = QStringLiteral("not used");

// The program as start-up builds it, on a fake port, with the given player.
struct Program : FakeProgram {
    explicit Program(MediaPlayer& player) : FakeProgram(QByteArray(), &player) {}
    // A table of one file, row 1 selected, its commands switched on as
    // adding a file does.
    void tableOf(const QString& path) {
        state().fileGrid.setCell(FileColumn::Start, 1, QStringLiteral("00000"));
        state().fileGrid.setCell(FileColumn::Stop, 1, notUsed);
        state().fileGrid.setCell(FileColumn::File, 1, path);
        state().fileGrid.setRow(1);
        state().availability.UpdateMenu();
    }
    bool showsPlaying() {
        return enabled("SpeedButton7") && enabled("Stop2") && !enabled("OdtwarzajPlik") &&
               !enabled("PlayFile");
    }
    bool showsStopped() {
        return !enabled("SpeedButton7") && !enabled("Stop2") && enabled("OdtwarzajPlik") &&
               enabled("PlayFile") && enabled("RecordISD") && enabled("RecordfiletoISD1") &&
               enabled("RecTable");
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

    program.run("PlayFile");
    QCOMPARE(player.calls,
             QStringList({QStringLiteral("Open /sounds/one.wav"), QStringLiteral("Play")}));
    QVERIFY(program.showsPlaying());

    program.run("Stop2");
    QCOMPARE(player.calls.last(), QStringLiteral("Stop"));
    QVERIFY(program.showsStopped());
    QVERIFY(program.state().link.StopRequested);
    // The fake notifies at once from Stop(); the window's handler took it.
    QVERIFY(!program.state().link.IgnorePlayEnd);

    program.run("OdtwarzajPlik");
    player.finish();
    QVERIFY(program.showsStopped());
    QVERIFY(!program.state().link.StopRequested);
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

    program.run("OdtwarzajPlik");

    QVERIFY(program.prompter.messages.isEmpty());
    QVERIFY(program.showsPlaying());
    QVERIFY(player.IsPlaying());
    QVERIFY(NullSinkServer::waitFor([&] { return sound.heardSound(); }, 2000));
    if (stop) {
        program.run("SpeedButton7");
        QVERIFY(!player.IsPlaying());
        QVERIFY(program.state().link.StopRequested);
        QCOMPARE(program.state().link.LinkState, int(LinkContext::StateIdle));
    }
    QTRY_VERIFY_WITH_TIMEOUT(program.showsStopped(), 5000);
    // The notification has come and used up the flag set for listening.
    QTRY_VERIFY_WITH_TIMEOUT(!program.state().link.IgnorePlayEnd, 5000);
    QCOMPARE(program.state().link.StopRequested, stop);
    if (stop)
        QVERIFY(sound.soundSeconds() < 1.5);
    else
        QVERIFY(sound.soundSeconds() > 0.4);
}

QTEST_MAIN(PlaybackWindowTest)
#include "tst_playbackwindow.moc"
