// Memory while the line babbles and a message box holds the deliveries up:
// the wired program with the real port on vokar-emu's line, a box on the
// screen ("Device not detected !"), and the stand-in sending stray bytes
// without pause for 30 s, at the line's full speed (5760 bytes a second) and
// then as fast as it can write into the pseudo-terminal. Prints the peak
// growth of the resident memory and the most bytes the port held. Never fails
// on a figure.
#include "app/mainwindow.h"
#include "app/startup.h"
#include "boxprompter.h"
#include "emuprocess.h"
#include "fakeplayer.h"
#include "link/serialcomport.h"
#include "residentmemory.h"
#include "tempfolder.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QTest>
#include <cstdio>

namespace {

struct Figures {
    qint64 growthKiB = 0;
    int mostWaiting = 0;
    QString standIn;
};

Figures babble(int seconds, int rate) {
    // The working folder, where the program finds its settings and ports file.
    TempFolder folder;
    EmuProcess emu;
    emu.strict = false;
    Figures figures;
    if (!emu.start({QStringLiteral("--no-chip"), QStringLiteral("--time-scale"),
                    QStringLiteral("0.01"), QStringLiteral("--com"), QStringLiteral("1"),
                    QStringLiteral("--ports-file"),
                    folder.file(QStringLiteral("isdvokar.ports"))})) {
        figures.standIn = QStringLiteral("vokar-emu did not start");
        return figures;
    }
    folder.write(QStringLiteral("isdvokar.fig"),
                 "VOKAR-1 Configuration File\r\n1\r\n1\r\n\r\n\r\n\r\n1\r\n");
    SerialComPort port;
    FakePlayer player;
    BoxPrompter prompter;
    Windows windows = createWindows(port, &player, prompter, QStringLiteral("isdvokar.fig"));
    if (!port.Active()) {
        figures.standIn = QStringLiteral("the port did not open");
        return figures;
    }
    bool measured = false;
    prompter.whileOpen = [&] {
        const qint64 baseline = residentBytes();
        qint64 peak = baseline;
        emu.command(QStringLiteral("babble %1 %2").arg(seconds).arg(rate));
        const bool ended = QTest::qWaitFor(
            [&] {
                peak = qMax(peak, residentBytes());
                figures.mostWaiting = qMax(figures.mostWaiting, port.ReadBufUsed());
                return emu.logContains(QStringLiteral("babble ended"));
            },
            // Its ticks come late on a loaded machine: a generous wait.
            (seconds * 4 + 30) * 1000);
        figures.growthKiB = (peak - baseline) / 1024;
        figures.standIn = ended
                              ? emu.log().filter(QStringLiteral("babble ended")).value(0).trimmed()
                              : QStringLiteral("the babble did not end in time");
        measured = true;
    };
    // The empty socket answers the scan with "<": the box opens.
    windows.main->state().handlers.run(Handler::MemoryScan);
    if (!QTest::qWaitFor([&] { return measured; }, (seconds * 4 + 60) * 1000))
        figures.standIn = QStringLiteral("no box was opened");
    windows.main.reset();
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
