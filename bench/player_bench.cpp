// Local playback figures against a private sound server in each of three
// set-ups (a PulseAudio null sink held at 10 ms by a silent stream, PulseAudio
// with its default latency, PipeWire with pipewire-pulse): Play() to the
// first sample at the sink's monitor, Play() to the first samples handed to
// the stream, the last sample at the monitor to the end notification, Open()
// times, the buffer the server granted; and MIDI render speed.
//
// Run without arguments for all three, or name one: low, default, pipewire.

#include "benchfigures.h"
#include "files/midirenderer.h"
#include "files/player.h"
#include "nullsinkserver.h"
#include "testsounds.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>
#include <cstdio>
#include <sndfile.h>
#include <utility>
#include <vector>

namespace {

constexpr int Rounds = 10;

QByteArray variableLength(quint32 value) {
    QByteArray bytes(1, static_cast<char>(value & 0x7F));
    while ((value >>= 7) != 0)
        bytes.prepend(static_cast<char>(0x80 | (value & 0x7F)));
    return bytes;
}

// Four-voice chords, one a beat at 120 beats a minute, on piano.
QByteArray chordsMidi(int beats) {
    QByteArray track = QByteArray::fromHex("00FF510307A120"
                                           "00C000");
    const int roots[] = {48, 53, 55, 50};
    const int steps[] = {0, 4, 7, 12};
    for (int beat = 0; beat < beats; ++beat) {
        const int root = roots[beat % 4];
        for (int step : steps)
            track += variableLength(0) + char(0x90) + char(root + step) + char(90);
        for (int i = 0; i < 4; ++i)
            track +=
                variableLength(i == 0 ? 480 : 0) + char(0x80) + char(root + steps[i]) + char(64);
    }
    track += QByteArray::fromHex("00FF2F00");
    QByteArray size(4, 0);
    qToBigEndian(static_cast<quint32>(track.size()), size.data());
    return "MThd" + QByteArray::fromHex("000000060000000101E0") + "MTrk" + size + track;
}

void measurePlayback(NullSinkServer& sound, Player& player, const QString& path, const char* name) {
    Figures toMonitor, handOver, endReport, open, buffer, sink;
    for (int round = 0; round < Rounds; ++round) {
        player.FileName = path;
        QElapsedTimer took;
        took.start();
        player.Open();
        open.add(took.nsecsElapsed() / 1e6);

        sound.clearSound();
        qint64 notifiedAt = -1;
        auto stamp = QObject::connect(&player, &MediaPlayer::OnNotify,
                                      [&] { notifiedAt = sound.nowUSecs(); });
        const qint64 playAt = sound.nowUSecs();
        player.Play();
        handOver.add(player.outputFigures().startUSecs / 1000.0);
        NullSinkServer::waitFor([&] { return notifiedAt >= 0; }, 10000);
        const Player::OutputFigures figures = player.outputFigures();
        buffer.add(figures.bufferUSecs / 1000.0);
        sink.add(figures.sinkUSecs / 1000.0);
        QObject::disconnect(stamp);
        const qint64 caughtUp = sound.recordedFrames() + NullSinkServer::MonitorRate / 5;
        NullSinkServer::waitFor([&] { return sound.recordedFrames() >= caughtUp; }, 3000);
        if (notifiedAt < 0 || !sound.heardSound())
            continue;
        toMonitor.add((sound.firstSoundArrivalUSecs() - playAt) / 1000.0);
        endReport.add((notifiedAt - sound.lastSoundUSecs()) / 1000.0);
    }
    std::printf("\n%s\n", name);
    open.print("  Open()", "ms");
    handOver.print("  Play() to first samples handed to the stream", "ms");
    toMonitor.print("  Play() to first sample arriving from the monitor", "ms");
    endReport.print("  last sample at the monitor to notification", "ms");
    buffer.print("  stream buffer the server granted", "ms");
    sink.print("  stream latency (queue and sink) at the end", "ms");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    const QString wav8k = folder.filePath(QStringLiteral("8k.wav"));
    const QString wav44k = folder.filePath(QStringLiteral("44k.wav"));
    const QString midi = folder.filePath(QStringLiteral("note.mid"));
    TestSounds::writeToneWav(wav8k, 8000, 1, 0.5, SF_FORMAT_PCM_16);
    TestSounds::writeToneWav(wav44k, 44100, 2, 0.5, SF_FORMAT_PCM_16);
    TestSounds::writeFile(midi, TestSounds::midiNote(240));

    using Setup = NullSinkServer::Setup;
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const std::pair<const char*, Setup> setups[] = {{"low", Setup::LowLatencyNullSink},
                                                    {"default", Setup::DefaultPulseAudio},
                                                    {"pipewire", Setup::PipeWire}};
    for (const auto& [key, setup] : setups) {
        if (!only.isEmpty() && only != QLatin1String(key))
            continue;
        NullSinkServer sound(setup);
        QString error;
        std::printf("\n=== %s ===\n", qPrintable(NullSinkServer::nameOf(setup)));
        if (!sound.start(error)) {
            std::printf("skipped: %s\n", qPrintable(error));
            continue;
        }
        std::printf("Monitor recorded at %d Hz, each chunk stamped on arrival%s.\n",
                    NullSinkServer::MonitorRate,
                    setup == Setup::LowLatencyNullSink
                        ? "; a 10 ms silent stream and the 5 ms monitor hold the sink's latency"
                    : setup == Setup::DefaultPulseAudio
                        ? "; the monitor asks 50 ms, the player's sink 10 ms, nothing else asks"
                        : "; only the player asks for a latency");
        Player player;
        measurePlayback(sound, player, wav8k, "WAV, 0.5 s, 8 kHz mono");
        measurePlayback(sound, player, wav44k, "WAV, 0.5 s, 44.1 kHz stereo");
        measurePlayback(sound, player, midi, "MIDI, one piano note of 0.25 s");
    }
    if (!only.isEmpty())
        return 0;

    MidiRenderer renderer;
    renderer.render(TestSounds::midiNote(10)); // loads the SoundFont
    Figures speed, loadFont;
    const QByteArray chords = chordsMidi(120);
    double seconds = 0;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer took;
        took.start();
        const PcmClip clip = renderer.render(chords);
        const double used = took.nsecsElapsed() / 1e9;
        seconds = double(clip.frames()) / clip.format.sampleRate();
        speed.add(seconds / used);
    }
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer took;
        took.start();
        MidiRenderer fresh;
        fresh.render(TestSounds::midiNote(10));
        loadFont.add(took.nsecsElapsed() / 1e6);
    }
    std::printf("\nMIDI rendering (TimGM6mb, 44.1 kHz stereo, four-voice chords, %.1f s)\n",
                seconds);
    speed.print("  render speed", "x real time");
    loadFont.print("  first render, SoundFont load included", "ms");
    return 0;
}
