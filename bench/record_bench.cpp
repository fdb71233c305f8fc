// Recording overrun: how long the chip goes on recording after a file without
// a stop address has sounded to its end. The whole program records into
// vokar-emu at real time (progress reports every 100 ms) while the real
// player plays a 1.5 s file into a private sound server, in each of three
// set-ups (a PulseAudio null sink held at 10 ms, PulseAudio with its default
// settings, PipeWire with pipewire-pulse).
//
// Run without arguments for all three, or name one: low, default, pipewire.

#include "benchfigures.h"
#include "recordingrig.h"
#include "testsounds.h"

#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <sndfile.h>
#include <utility>
#include <vector>

namespace {

constexpr int Rounds = 10;
constexpr double FileSeconds = 1.5;

void measure(NullSinkServer& sound) {
    RecordingRig rig;
    if (!rig.start(sound)) {
        std::printf("skipped: the stand-in or the program does not start\n");
        return;
    }
    const QString file = rig.folder.file(QStringLiteral("tone.wav"));
    TestSounds::writeToneWav(file, 8000, 1, FileSeconds, SF_FORMAT_PCM_16);
    Figures notified, stopped, overrun;
    for (int round = 0; round < Rounds; ++round) {
        if (!rig.recordOne(file) || !sound.heardSound() || rig.stopSentAt < 0)
            continue;
        notified.add((rig.notifiedAt - sound.lastSoundUSecs()) / 1000.0);
        stopped.add((rig.stopSentAt - sound.lastSoundUSecs()) / 1000.0);
        const double seconds = rig.firstMessageSeconds();
        if (seconds > 0)
            overrun.add((seconds - FileSeconds) * 1000.0);
    }
    notified.print("  last sample at the monitor to end of playback", "ms", 52);
    stopped.print("  last sample at the monitor to the stop command", "ms", 52);
    overrun.print("  message recorded minus the file's 1.5 s", "ms", 52);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    using Setup = NullSinkServer::Setup;
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const std::pair<const char*, Setup> setups[] = {{"low", Setup::LowLatencyNullSink},
                                                    {"default", Setup::DefaultPulseAudio},
                                                    {"pipewire", Setup::PipeWire}};
    std::printf("Recording a %.1f s WAV without a stop address into vokar-emu at real time, "
                "progress every %d ms, rows of %.0f ms (ISD 33060); %d rounds.\n",
                FileSeconds, RecordingRig::ProgressMs, RecordingRig::RowSeconds * 1000, Rounds);
    for (const auto& [key, setup] : setups) {
        if (!only.isEmpty() && only != QLatin1String(key))
            continue;
        std::printf("\n=== %s ===\n", qPrintable(NullSinkServer::nameOf(setup)));
        NullSinkServer sound(setup);
        QString error;
        if (!sound.start(error)) {
            std::printf("skipped: %s\n", qPrintable(error));
            continue;
        }
        measure(sound);
    }
    return 0;
}
