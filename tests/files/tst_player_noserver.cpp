#include "core/apperror.h"
#include "files/player.h"
#include "files/soundfile.h"
#include "files/soundoutput.h"
#include "testsounds.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <sndfile.h>

// Runs with PULSE_SERVER pointing at a socket that does not exist.
class PlayerWithoutSoundServerTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void openFailsQuicklyAndPlayStaysSilent();
};

void PlayerWithoutSoundServerTest::initTestCase() {
    // Before anything asks for the audio devices: they are looked up once.
    qputenv("PULSE_SERVER", "unix:/nonexistent/vokar-no-sound-server");
}

void PlayerWithoutSoundServerTest::openFailsQuicklyAndPlayStaysSilent() {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("tone.wav"));
    QVERIFY(TestSounds::writeToneWav(path, 8000, 1, 0.5, SF_FORMAT_PCM_16));
    Player player;
    int notifications = 0;
    connect(&player, &MediaPlayer::OnNotify, this, [&] { ++notifications; });

    player.FileName = path;
    QElapsedTimer took;
    took.start();
    QString message;
    try {
        player.Open();
    } catch (const AppError& error) {
        message = error.message();
    }
    QVERIFY2(took.elapsed() < 5000, qPrintable(QString::number(took.elapsed())));
    // The user is told the real reason, not that the file is missing: libpulse
    // finds no server, Qt lists no output without one.
    const QString reason = SoundOutput::backend() == SoundOutput::Backend::PulseAudio
                               ? QStringLiteral("No sound server")
                               : QStringLiteral("No sound output");
    QVERIFY2(message.contains(reason), qPrintable(message));
    QCOMPARE(SoundFile::failureMessage(path, message), message);

    player.Play();
    QVERIFY(!player.IsPlaying());
    player.Stop();
    player.Close();
    QCoreApplication::processEvents();
    QCOMPARE(notifications, 0);
}

QTEST_GUILESS_MAIN(PlayerWithoutSoundServerTest)
#include "tst_player_noserver.moc"
