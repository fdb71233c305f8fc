// Memory while the line babbles and a message box holds the deliveries up:
// the wired program with the real port on vokar-emu's line, a box on the
// screen ("Device not detected !"), and the stand-in sending stray bytes
// without pause for 30 s, at the line's full speed (5760 bytes a second) and
// then as fast as it can write into the pseudo-terminal. Prints the peak
// growth of the resident memory and the most bytes the port held. Never fails
// on a figure.
#include "emuprogram.h"
#include "messageboxes.h"
#include "residentmemory.h"

#include <QApplication>
#include <QTest>
#include <cstdio>

namespace {

struct Figures {
    qint64 growthKiB = 0;
    int mostWaiting = 0;
    QString standIn;
};

Figures babble(int seconds, int rate) {
    EmuProgram program;
    MessageBoxes boxes(program.prompter);
    program.emu.strict = false;
    Figures figures;
    if (!program.start(
            {QByteArray(), 1, QStringLiteral("0.01"), 0, {QStringLiteral("--no-chip")}})) {
        figures.standIn = QStringLiteral("the stand-in or the port did not start");
        return figures;
    }
    bool measured = false;
    boxes.whileOpen = [&] {
        const qint64 baseline = residentBytes();
        qint64 peak = baseline;
        program.emu.command(QStringLiteral("babble %1 %2").arg(seconds).arg(rate));
        const bool ended = QTest::qWaitFor(
            [&] {
                peak = qMax(peak, residentBytes());
                figures.mostWaiting = qMax(figures.mostWaiting, program.port.ReadBufUsed());
                return program.emu.logContains(QStringLiteral("babble ended"));
            },
            // Its ticks come late on a loaded machine: a generous wait.
            (seconds * 4 + 30) * 1000);
        figures.growthKiB = (peak - baseline) / 1024;
        figures.standIn =
            ended ? program.emu.log().filter(QStringLiteral("babble ended")).value(0).trimmed()
                  : QStringLiteral("the babble did not end in time");
        measured = true;
    };
    // The empty socket answers the scan with "<": the box opens.
    program.state().handlers.run(Handler::MemoryScan);
    if (!QTest::qWaitFor([&] { return measured; }, (seconds * 4 + 60) * 1000))
        figures.standIn = QStringLiteral("no box was opened");
    return figures;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? QByteArray(argv[1]).toInt() : 30;
    const struct {
        const char* name;
        int rate;
    } runs[] = {{"at the line's full speed", 5760}, {"as fast as the pty takes", 4000000}};
    for (const auto& run : runs) {
        const Figures f = babble(seconds, run.rate);
        std::printf("babble %s for %d s with a box open: resident memory +%lld KiB at most, "
                    "the port held %d bytes at most (%s)\n",
                    run.name, seconds, f.growthKiB, f.mostWaiting, qPrintable(f.standIn));
        std::fflush(stdout);
    }
    return 0;
}
