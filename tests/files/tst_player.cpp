#include "core/apperror.h"
#include "files/player.h"
#include "files/soundoutput.h"
#include "nullsinkserver.h"
#include "testsounds.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <sndfile.h>

namespace {

// How close the sound at the monitor and the end report must be to the
// file: the recorded length to the file's length, the notification to the
// last sample recorded.
constexpr qint64 ToleranceUSecs = 20000;
constexpr double ToleranceSeconds = 0.020;
// Time the monitor needs to catch up with what was played.
constexpr int CatchUpMs = 150;

} // namespace

class PlayerTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void wavArrivesWholeAndItsEndIsReportedAtTheLastSample_data();
    void wavArrivesWholeAndItsEndIsReportedAtTheLastSample();
    void midiFileSoundsAndEnds();
    void cuttingPlaybackShortSilencesItAndNotifiesOnce_data();
    void cuttingPlaybackShortSilencesItAndNotifiesOnce();
    void playAfterStopGoesOnWhereItStopped();
    void playAfterTheEndStartsFromTheBeginning();
    void notifyNextOffSilencesOnlyTheNextPlayback();
    void openFailsForFilesThatCannotSound_data();
    void openFailsForFilesThatCannotSound();
    // Ends the sound server: keep it last.
    void soundServerGoingAwayEndsThePlaybackAndOpenFails();

private:
    QString tone(const QString& name, int rate, int channels, double seconds);
    // Plays the open file to its end; returns when it was reported, on the
    // monitor's clock, or -1 when no report came.
    qint64 playToTheEnd();
    void letTheMonitorCatchUp();

    NullSinkServer sound;
    QTemporaryDir folder;
    std::unique_ptr<Player> player;
};

void PlayerTest::initTestCase() {
    QString error;
    QVERIFY2(sound.start(error), qPrintable(error));
    player = std::make_unique<Player>();
}

void PlayerTest::init() {
    // What the test before left sounding must not count for this one: stop
    // it and let its last samples reach the monitor before forgetting them.
    if (player->IsPlaying())
        player->Stop();
    letTheMonitorCatchUp();
    player->NotifyNext = true;
    sound.clearSound();
}

void PlayerTest::cleanupTestCase() {
    player.reset();
    sound.stop();
}

QString PlayerTest::tone(const QString& name, int rate, int channels, double seconds) {
    const QString path = folder.filePath(name);
    if (!QFile::exists(path) &&
        !TestSounds::writeToneWav(path, rate, channels, seconds, SF_FORMAT_PCM_16))
        return QString();
    return path;
}

qint64 PlayerTest::playToTheEnd() {
    qint64 notifiedAt = -1;
    QMetaObject::Connection stamp =
        connect(player.get(), &MediaPlayer::OnNotify, this, [&] { notifiedAt = sound.nowUSecs(); });
    player->Play();
    NullSinkServer::waitFor([&] { return notifiedAt >= 0; }, 10000);
    disconnect(stamp);
    return notifiedAt;
}

void PlayerTest::letTheMonitorCatchUp() {
    const qint64 target = sound.recordedFrames() + NullSinkServer::MonitorRate * CatchUpMs / 1000;
    QVERIFY(NullSinkServer::waitFor([&] { return sound.recordedFrames() >= target; }, 3000));
}

void PlayerTest::wavArrivesWholeAndItsEndIsReportedAtTheLastSample_data() {
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::newRow("8 kHz mono") << 8000 << 1;
    QTest::newRow("44.1 kHz stereo") << 44100 << 2;
}

void PlayerTest::wavArrivesWholeAndItsEndIsReportedAtTheLastSample() {
    QFETCH(int, rate);
    QFETCH(int, channels);
    player->FileName =
        tone(QStringLiteral("second-%1-%2.wav").arg(rate).arg(channels), rate, channels, 1.0);
    player->Open();
    QSignalSpy notified(player.get(), &MediaPlayer::OnNotify);

    const qint64 notifiedAt = playToTheEnd();
    letTheMonitorCatchUp();

    QVERIFY(notifiedAt >= 0);
    QCOMPARE(notified.count(), 1);
    QVERIFY(!player->IsPlaying());
    QVERIFY(sound.heardSound());
    QVERIFY2(qAbs(sound.soundSeconds() - 1.0) <= ToleranceSeconds,
             qPrintable(QStringLiteral("sound lasted %1 s").arg(sound.soundSeconds())));
    const qint64 late = notifiedAt - sound.lastSoundUSecs();
    QVERIFY2(qAbs(late) <= ToleranceUSecs,
             qPrintable(QStringLiteral("end reported %1 us after the last sample").arg(late)));
}

void PlayerTest::midiFileSoundsAndEnds() {
    const QString path = folder.filePath(QStringLiteral("note.mid"));
    QVERIFY(TestSounds::writeFile(path, TestSounds::midiNote(480)));
    player->FileName = path;
    player->Open();
    QSignalSpy notified(player.get(), &MediaPlayer::OnNotify);

    const qint64 notifiedAt = playToTheEnd();
    letTheMonitorCatchUp();

    QVERIFY(notifiedAt >= 0);
    QCOMPARE(notified.count(), 1);
    QVERIFY(sound.heardSound());
    QVERIFY2(sound.soundSeconds() > 0.45 && sound.soundSeconds() < 2.0,
             qPrintable(QStringLiteral("sound lasted %1 s").arg(sound.soundSeconds())));
    // The note fades below the monitor's threshold a little before its voice
    // is gone; the end is reported then, not seconds later.
    const qint64 late = notifiedAt - sound.lastSoundUSecs();
    QVERIFY2(late >= -ToleranceUSecs && late < 300000,
             qPrintable(QStringLiteral("end reported %1 us after the last sample").arg(late)));
}

void PlayerTest::cuttingPlaybackShortSilencesItAndNotifiesOnce_data() {
    QTest::addColumn<QString>("cut");
    QTest::newRow("Stop") << QStringLiteral("Stop");
    QTest::newRow("Close") << QStringLiteral("Close");
    QTest::newRow("Open of another file") << QStringLiteral("Open");
}

void PlayerTest::cuttingPlaybackShortSilencesItAndNotifiesOnce() {
    QFETCH(QString, cut);
    const QString other = tone(QStringLiteral("short.wav"), 16000, 1, 0.3);
    player->FileName = tone(QStringLiteral("three.wav"), 22050, 1, 3.0);
    player->Open();
    QSignalSpy notified(player.get(), &MediaPlayer::OnNotify);
    player->Play();
    QVERIFY(NullSinkServer::waitFor([&] { return sound.heardSound(); }, 2000));

    const qint64 cutAt = sound.nowUSecs();
    if (cut == QLatin1String("Stop")) {
        player->Stop();
    } else if (cut == QLatin1String("Close")) {
        player->Close();
    } else {
        player->FileName = other;
        player->Open();
    }

    QVERIFY(!player->IsPlaying());
    // The notification comes through the event loop, afterwards.
    QCOMPARE(notified.count(), 0);
    QVERIFY(notified.wait(1000));
    if (cut == QLatin1String("Close")) {
        player->Play(); // nothing is open
        QVERIFY(!player->IsPlaying());
    }
    letTheMonitorCatchUp();
    QCOMPARE(notified.count(), 1);
    const qint64 soundAfterCut = sound.lastSoundUSecs() - cutAt;
    QVERIFY2(
        soundAfterCut < 50000,
        qPrintable(QStringLiteral("sound went on %1 us after %2").arg(soundAfterCut).arg(cut)));
    QVERIFY(sound.soundSeconds() < 1.0);
}

void PlayerTest::playAfterStopGoesOnWhereItStopped() {
    player->FileName = tone(QStringLiteral("second-8000-1.wav"), 8000, 1, 1.0);
    player->Open();
    player->Play();
    QVERIFY(NullSinkServer::waitFor([&] { return sound.soundSeconds() > 0.3; }, 2000));
    player->Stop();
    letTheMonitorCatchUp();
    const double first = sound.soundSeconds();
    const qint64 reached = player->positionBytes();
    QVERIFY(reached > 0 && reached < player->clip().data.size());

    sound.clearSound();
    QVERIFY(playToTheEnd() >= 0);
    letTheMonitorCatchUp();

    QVERIFY2(qAbs(first + sound.soundSeconds() - 1.0) <= 2 * ToleranceSeconds,
             qPrintable(QStringLiteral("%1 s and %2 s").arg(first).arg(sound.soundSeconds())));
}

void PlayerTest::playAfterTheEndStartsFromTheBeginning() {
    player->FileName = tone(QStringLiteral("short.wav"), 16000, 1, 0.3);
    player->Open();
    QSignalSpy notified(player.get(), &MediaPlayer::OnNotify);
    QVERIFY(playToTheEnd() >= 0);
    letTheMonitorCatchUp();
    sound.clearSound();

    QVERIFY(playToTheEnd() >= 0);
    letTheMonitorCatchUp();

    QCOMPARE(notified.count(), 2);
    QVERIFY2(qAbs(sound.soundSeconds() - 0.3) <= ToleranceSeconds,
             qPrintable(QString::number(sound.soundSeconds())));
}

void PlayerTest::notifyNextOffSilencesOnlyTheNextPlayback() {
    player->FileName = tone(QStringLiteral("short.wav"), 16000, 1, 0.3);
    player->Open();
    QSignalSpy notified(player.get(), &MediaPlayer::OnNotify);

    player->NotifyNext = false;
    player->Play();
    QVERIFY(player->IsPlaying());
    QTRY_VERIFY_WITH_TIMEOUT(!player->IsPlaying(), 3000);
    letTheMonitorCatchUp();
    QVERIFY(sound.heardSound());
    QCOMPARE(notified.count(), 0);
    QVERIFY(player->NotifyNext);

    QVERIFY(playToTheEnd() >= 0);
    QCOMPARE(notified.count(), 1);
}

void PlayerTest::openFailsForFilesThatCannotSound_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("missing file") << QStringLiteral("gone.wav") << QByteArray();
    QTest::newRow("text file named .wav")
        << QStringLiteral("words.wav") << QByteArray("Hello, this is no sound.\n");
    QTest::newRow("empty file") << QStringLiteral("empty.wav") << QByteArray("");
    QTest::newRow("broken MIDI") << QStringLiteral("broken.mid")
                                 << QByteArray::fromHex("4D546864000000060000000101E0");
}

void PlayerTest::openFailsForFilesThatCannotSound() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    const QString path = folder.filePath(name);
    if (!content.isNull())
        QVERIFY(TestSounds::writeFile(path, content));
    // A good file is open before; the failed Open() has closed it.
    player->FileName = tone(QStringLiteral("short.wav"), 16000, 1, 0.3);
    player->Open();
    QSignalSpy notified(player.get(), &MediaPlayer::OnNotify);

    player->FileName = path;
    QVERIFY_THROWS_EXCEPTION(AppError, player->Open());

    player->Play();
    QVERIFY(!player->IsPlaying());
    letTheMonitorCatchUp();
    QVERIFY(!sound.heardSound());
    QCOMPARE(notified.count(), 0);
}

void PlayerTest::soundServerGoingAwayEndsThePlaybackAndOpenFails() {
    player->FileName = tone(QStringLiteral("three.wav"), 22050, 1, 3.0);
    player->Open();
    QSignalSpy notified(player.get(), &MediaPlayer::OnNotify);
    player->Play();
    QVERIFY(NullSinkServer::waitFor([&] { return sound.heardSound(); }, 2000));

    sound.stop();

    // The stream fails or stalls; either way the playback ends, once.
    QVERIFY(notified.wait(SoundOutput::StallMs + 2000));
    QVERIFY(!player->IsPlaying());
    player->FileName = tone(QStringLiteral("short.wav"), 16000, 1, 0.3);
    QVERIFY_THROWS_EXCEPTION(AppError, player->Open());
    QCOMPARE(notified.count(), 1);
}

QTEST_GUILESS_MAIN(PlayerTest)
#include "tst_player.moc"
