#include "files/player.h"
#include "files/soundoutput.h"
#include "nullsinkserver.h"
#include "testsounds.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <sndfile.h>

// The end of local playback on the sound servers users run with their
// settings as they come: PulseAudio with its default configuration, and
// PipeWire with wireplumber and pipewire-pulse. Nothing holds the sink's
// latency low but what the player asks for itself. The bounds are generous;
// bench/player_bench prints the figures.
namespace {
// How far the end notification may be from the last sample at the sink.
constexpr qint64 EndBoundUSecs = 300000;
// How far the sound heard may be from the file's length. Generous: on a
// machine loaded far beyond its cores PipeWire was seen to skip 85 ms of a
// stream it could not keep fed; a file cut short or played at a wrong rate is
// still caught.
constexpr double LengthBoundSeconds = 0.2;
} // namespace

class PlaybackEndTest : public QObject {
    Q_OBJECT
private slots:
    void cleanupTestCase();
    void endIsReportedWhenTheLastSampleIsPlayed_data();
    void endIsReportedWhenTheLastSampleIsPlayed();

private:
    // The server of the set-up, started once for all its rows.
    NullSinkServer* serverFor(NullSinkServer::Setup setup);

    QTemporaryDir folder;
    std::unique_ptr<NullSinkServer> server;
};

void PlaybackEndTest::cleanupTestCase() {
    server.reset();
}

NullSinkServer* PlaybackEndTest::serverFor(NullSinkServer::Setup setup) {
    if (server && server->setup() == setup)
        return server.get();
    server.reset();
    auto started = std::make_unique<NullSinkServer>(setup);
    QString error;
    if (!started->start(error)) {
        qWarning("%s: %s", qPrintable(NullSinkServer::nameOf(setup)), qPrintable(error));
        return nullptr;
    }
    server = std::move(started);
    return server.get();
}

void PlaybackEndTest::endIsReportedWhenTheLastSampleIsPlayed_data() {
    QTest::addColumn<NullSinkServer::Setup>("setup");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    using Setup = NullSinkServer::Setup;
    for (Setup setup : {Setup::DefaultPulseAudio, Setup::PipeWire}) {
        const QByteArray name = NullSinkServer::nameOf(setup).toUtf8();
        QTest::addRow("%s, WAV 8 kHz mono", name.constData())
            << setup << QStringLiteral("wav") << 8000 << 1;
        QTest::addRow("%s, WAV 44.1 kHz stereo", name.constData())
            << setup << QStringLiteral("wav") << 44100 << 2;
        QTest::addRow("%s, MIDI", name.constData()) << setup << QStringLiteral("midi") << 0 << 0;
    }
}

void PlaybackEndTest::endIsReportedWhenTheLastSampleIsPlayed() {
    QFETCH(NullSinkServer::Setup, setup);
    QFETCH(QString, kind);
    QFETCH(int, rate);
    QFETCH(int, channels);
    const QString missing = NullSinkServer::missingPrograms(setup);
    if (setup == NullSinkServer::Setup::PipeWire && !missing.isEmpty())
        QSKIP(qPrintable(QStringLiteral("PipeWire is not installed (%1): "
                                        "scripts/install-deps.sh installs it")
                             .arg(missing)));
    // Qt's list of audio devices stays with the first sound server the
    // process met, so the QAudioSink output plays on one server a run.
    if (SoundOutput::backend() == SoundOutput::Backend::Qt && server && server->setup() != setup)
        QSKIP("the QAudioSink output plays on the first sound server of a run only");
    NullSinkServer* sound = serverFor(setup);
    QVERIFY2(sound != nullptr, "the sound server does not start; see the warning above");

    const QString path =
        folder.filePath(QStringLiteral("%1-%2-%3").arg(kind).arg(rate).arg(channels));
    if (kind == QLatin1String("wav"))
        QVERIFY(TestSounds::writeToneWav(path, rate, channels, 1.0, SF_FORMAT_PCM_16));
    else
        QVERIFY(TestSounds::writeFile(path, TestSounds::midiNote(960)));
    Player player;
    player.FileName = path;
    player.Open();
    sound->clearSound();
    qint64 notifiedAt = -1;
    connect(&player, &MediaPlayer::OnNotify, this, [&] { notifiedAt = sound->nowUSecs(); });

    player.Play();
    QVERIFY(NullSinkServer::waitFor([&] { return notifiedAt >= 0; }, 10000));
    // Whatever the monitor still has on its way.
    const qint64 caughtUp = sound->recordedFrames() + NullSinkServer::MonitorRate / 5;
    QVERIFY(NullSinkServer::waitFor([&] { return sound->recordedFrames() >= caughtUp; }, 5000));

    QVERIFY(sound->heardSound());
    const qint64 late = notifiedAt - sound->lastSoundUSecs();
    QVERIFY2(qAbs(late) <= EndBoundUSecs,
             qPrintable(QStringLiteral("end reported %1 us after the last sample").arg(late)));
    if (kind == QLatin1String("wav"))
        QVERIFY2(qAbs(sound->heardSeconds() - 1.0) <= LengthBoundSeconds,
                 qPrintable(QStringLiteral("heard %1 s of sound").arg(sound->heardSeconds())));
}

QTEST_GUILESS_MAIN(PlaybackEndTest)
#include "tst_playbackend.moc"
