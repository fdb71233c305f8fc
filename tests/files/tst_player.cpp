#include "core/apperror.h"
#include "files/player.h"
#include "files/soundfile.h"
#include "files/soundoutput.h"
#include "nullsinkserver.h"
#include "testsounds.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <sndfile.h>
#include <sys/stat.h>

namespace {

// How close the sound heard at the monitor must be to the file: no more
// than 20 ms of it missing or added (gaps where the sink ran dry on a loaded
// machine are not sound, and do not count).
constexpr double ToleranceSeconds = 0.020;
// How far the end report may be from the last sample heard. Generous: a
// loaded machine delays the notification and the monitor's own stamps by
// tens of milliseconds. What it catches is an end reported while sound is
// still queued or seconds after it; bench/player_bench measures the figure.
constexpr qint64 EarlyUSecs = 100000;
constexpr qint64 LateUSecs = 300000;
// Sound after Stop, Close or Open: the sink's queue, drained or dropped.
constexpr qint64 SoundAfterCutUSecs = 150000;
// Time the monitor needs to catch up with what was played.
constexpr int CatchUpMs = 150;

// This process's resident memory.
qint64 residentBytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return 0;
}

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
    void openFailsWithTheRealReason_data();
    void openFailsWithTheRealReason();
    void hugeSparseWavOpensAtOnceWithinBoundedMemory();
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
    QVERIFY2(qAbs(sound.heardSeconds() - 1.0) <= ToleranceSeconds,
             qPrintable(QStringLiteral("heard %1 s of sound").arg(sound.heardSeconds())));
    const qint64 late = notifiedAt - sound.lastSoundUSecs();
    QVERIFY2(late >= -EarlyUSecs && late <= LateUSecs,
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
    QVERIFY2(late >= -EarlyUSecs && late <= LateUSecs,
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
        soundAfterCut < SoundAfterCutUSecs,
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
    const double first = sound.heardSeconds();
    const qint64 reached = player->positionBytes();
    QVERIFY(reached > 0 && reached < player->sound()->available());

    sound.clearSound();
    QVERIFY(playToTheEnd() >= 0);
    letTheMonitorCatchUp();

    QVERIFY2(qAbs(first + sound.heardSeconds() - 1.0) <= 2 * ToleranceSeconds,
             qPrintable(QStringLiteral("%1 s and %2 s").arg(first).arg(sound.heardSeconds())));
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
    QVERIFY2(qAbs(sound.heardSeconds() - 0.3) <= ToleranceSeconds,
             qPrintable(QString::number(sound.heardSeconds())));
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

void PlayerTest::openFailsWithTheRealReason_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind"); // file, fifo, folder or none
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason"); // in the error; the user sees it too
    const QByteArray header = TestSounds::wavHeader(8000, 1, 16000);
    QTest::newRow("missing file") << QStringLiteral("gone.wav") << QStringLiteral("none")
                                  << QByteArray() << QStringLiteral("File not found");
    QTest::newRow("text file named .wav")
        << QStringLiteral("words.wav") << QStringLiteral("file")
        << QByteArray("Hello, this is no sound.\n") << QStringLiteral("Cannot read");
    QTest::newRow("empty file") << QStringLiteral("empty.wav") << QStringLiteral("file")
                                << QByteArray("") << QStringLiteral("Cannot read");
    QTest::newRow("header cut short") << QStringLiteral("cut.wav") << QStringLiteral("file")
                                      << header.left(30) << QStringLiteral("Cannot read");
    QTest::newRow("400 kHz") << QStringLiteral("fast.wav") << QStringLiteral("file")
                             << TestSounds::wavHeader(400000, 1, 8000) + QByteArray(8000, 0)
                             << QStringLiteral("400000 Hz");
    QTest::newRow("broken MIDI") << QStringLiteral("broken.mid") << QStringLiteral("file")
                                 << QByteArray::fromHex("4D546864000000060000000101E0")
                                 << QStringLiteral("Not a MIDI file");
    QTest::newRow("FIFO") << QStringLiteral("pipe.wav") << QStringLiteral("fifo") << QByteArray()
                          << QStringLiteral("is a FIFO, not a sound file");
    QTest::newRow("folder") << QStringLiteral("folder.wav") << QStringLiteral("folder")
                            << QByteArray() << QStringLiteral("is a folder, not a sound file");
}

void PlayerTest::openFailsWithTheRealReason() {
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    const QString path = folder.filePath(name);
    if (kind == QLatin1String("file"))
        QVERIFY(TestSounds::writeFile(path, content));
    else if (kind == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(path));
    // A good file is open before; the failed Open() has closed it.
    player->FileName = tone(QStringLiteral("short.wav"), 16000, 1, 0.3);
    player->Open();
    QSignalSpy notified(player.get(), &MediaPlayer::OnNotify);

    player->FileName = path;
    QString message;
    QElapsedTimer took;
    took.start();
    try {
        player->Open();
    } catch (const AppError& error) {
        message = error.message();
    }
    QVERIFY2(took.elapsed() < 2000, qPrintable(QString::number(took.elapsed())));
    QVERIFY2(message.contains(reason), qPrintable(message));
    // What the user is shown: "File not found" only when there is no file.
    const QString shown = SoundFile::failureMessage(path, message);
    QCOMPARE(shown == SoundFile::notFoundText(), kind == QLatin1String("none"));
    if (kind != QLatin1String("none"))
        QCOMPARE(shown, message);

    player->Play();
    QVERIFY(!player->IsPlaying());
    letTheMonitorCatchUp();
    QVERIFY(!sound.heardSound());
    QCOMPARE(notified.count(), 0);
}

void PlayerTest::hugeSparseWavOpensAtOnceWithinBoundedMemory() {
    // A 2 GB WAV that takes no disk: 44.1 kHz stereo, over three hours.
    const QString path = folder.filePath(QStringLiteral("huge.wav"));
    const quint32 dataBytes = 0x7FFFFFFFu - 44;
    QVERIFY(TestSounds::writeFile(path, TestSounds::wavHeader(44100, 2, dataBytes)));
    QVERIFY(QFile::resize(path, qint64(dataBytes) + 44));
    const qint64 memoryBefore = residentBytes();

    // The user interface's thread goes on while the file is decoded: a
    // timer on it is never held up for long.
    qint64 longestGap = 0;
    QElapsedTimer sinceTick;
    sinceTick.start();
    QTimer tick;
    connect(&tick, &QTimer::timeout, this,
            [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
    tick.start(5);
    QElapsedTimer took;
    took.start();
    player->FileName = path;
    player->Open();
    const qint64 openMs = took.elapsed();
    const auto decoded = player->sound();
    QVERIFY(NullSinkServer::waitFor([&] { return decoded->isComplete(); }, 60000));
    tick.stop();

    QVERIFY2(openMs < 1000, qPrintable(QString::number(openMs)));
    QVERIFY2(longestGap < 300, qPrintable(QString::number(longestGap)));
    // Decoded up to the longest sound played, not the three hours.
    QCOMPARE(decoded->available(), decoded->capacity());
    QCOMPARE(decoded->capacity(), qint64(MaxSoundSeconds) * 44100 * 4);
    const qint64 grown = residentBytes() - memoryBefore;
    QVERIFY2(grown < decoded->capacity() + 64 * 1024 * 1024,
             qPrintable(QStringLiteral("%1 MiB").arg(grown >> 20)));
    player->Close();
    QVERIFY(QFile::remove(path));
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
