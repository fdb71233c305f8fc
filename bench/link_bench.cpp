// Link figures over a real pseudo-terminal: how fast the program answers a
// reply, and how many memory-scan steps it makes a second, against a
// stand-in that answers at once. Prints its figures; never fails on a time.
#include "app/mainwindow.h"
#include "app/startup.h"
#include "core/filedialog.h"
#include "core/mediaplayer.h"
#include "core/prompter.h"
#include "link/serialcomport.h"
#include "settingsfile.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

class QuietPrompter : public Prompter {
public:
    void showMessage(const QString& text) override {
        std::printf("message: %s\n", qPrintable(text));
    }
    void showError(const QString& text) override { std::printf("error: %s\n", qPrintable(text)); }
    bool execute(FileDialog&) override { return false; }
};

class SilentPlayer : public MediaPlayer {
public:
    void Open() override {}
    void Play() override {}
    void Stop() override {}
    void Close() override {}
    bool IsPlaying() const override { return false; }
};

using Clock = std::chrono::steady_clock;

QByteArray reply(char code, int address) {
    QByteArray bytes(1, code);
    bytes += QByteArray::number(address).rightJustified(5, '0');
    bytes += QByteArray(14, '0');
    return bytes;
}

// Reads one 20-byte frame from the master side; false when none came in time.
bool readFrame(int fd, QByteArray& frame, int timeoutMs) {
    frame.clear();
    while (frame.size() < 20) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0)
            return false;
        char buffer[64];
        const ssize_t n = ::read(fd, buffer, size_t(20 - frame.size()));
        if (n <= 0)
            return false;
        frame.append(buffer, int(n));
    }
    return true;
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values[size_t(p * double(values.size() - 1))];
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(100, std::atoi(argv[1])) : 2000;

    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        std::perror("posix_openpt");
        return 1;
    }
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());
    QFile ports(QStringLiteral("isdvokar.ports"));
    if (!ports.open(QIODevice::WriteOnly))
        return 1;
    ports.write("COM1=" + QByteArray(::ptsname(master)) + "\n");
    ports.close();
    QFile settings(QStringLiteral("isdvokar.fig"));
    if (!settings.open(QIODevice::WriteOnly))
        return 1;
    settings.write(SettingsFile().text());
    settings.close();

    QuietPrompter prompter;
    SilentPlayer player;
    SerialComPort port;
    Windows windows = createWindows(port, &player, prompter, QStringLiteral("isdvokar.fig"));
    if (!port.Active()) {
        std::puts("the pty did not open");
        return 1;
    }
    MainWindow& window = *windows.main;

    std::vector<double> turnaround;
    std::atomic<bool> done{false};
    double scanSeconds = 0;
    int scanSteps = 0;
    constexpr int messages = 200;

    // The stand-in: answers at once, on its own thread.
    std::thread standIn([&] {
        QByteArray frame;
        // Set-chip frames first; then a play runs, and every progress report
        // is answered.
        while (readFrame(master, frame, 5000) && frame.at(0) != 1) {
        }
        for (int i = 0; i < rounds; ++i) {
            const QByteArray progress = reply('2', i % 400);
            const auto sent = Clock::now();
            if (::write(master, progress.constData(), 20) != 20)
                break;
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 2000) <= 0)
                break;
            const auto answered = Clock::now();
            readFrame(master, frame, 2000);
            turnaround.push_back(
                std::chrono::duration<double, std::micro>(answered - sent).count());
        }
        const QByteArray finished = reply('5', 0);
        [[maybe_unused]] const ssize_t w1 = ::write(master, finished.constData(), 20);
        // Scan: every scan step finds the next message two rows on.
        while (readFrame(master, frame, 5000) && frame.at(0) != 4) {
        }
        const auto begin = Clock::now();
        int address = 0;
        for (int i = 0; i < messages && frame.at(0) == 4; ++i) {
            address += 2;
            const QByteArray mark = reply('4', address);
            if (::write(master, mark.constData(), 20) != 20 || !readFrame(master, frame, 2000))
                break;
            ++scanSteps;
        }
        scanSeconds = std::chrono::duration<double>(Clock::now() - begin).count();
        done = true;
    });

    // A chip large enough for the scan: an ISD 4004 has 2400 rows.
    window.state().chip.ChipType = 17;
    window.state().chip.ApplyChipType();
    QTimer::singleShot(0, [&] { window.state().handlers.run(Handler::PlayFromChip); });
    QTimer poller;
    bool scanStarted = false;
    QObject::connect(&poller, &QTimer::timeout, [&] {
        if (!scanStarted && window.state().link.LinkState == 3 &&
            int(turnaround.size()) >= rounds - 1) {
            scanStarted = true;
            window.state().handlers.run(Handler::MemoryScan);
        }
        if (done)
            app.quit();
    });
    poller.start(5);
    QTimer::singleShot(120000, &app, &QApplication::quit);
    app.exec();
    standIn.join();
    ::close(master);

    if (turnaround.empty()) {
        std::puts("no turnaround measured");
        return 1;
    }
    std::printf("link turnaround over a pty (%zu replies): median %.3f ms, p99 %.3f ms "
                "(one frame on the line: 3.47 ms at 57600 baud)\n",
                turnaround.size(), percentile(turnaround, 0.5) / 1000.0,
                percentile(turnaround, 0.99) / 1000.0);
    if (scanSteps > 0)
        std::printf("memory scan, %d messages: %.0f steps/s, %.3f ms a step "
                    "(the line alone allows 144 steps/s: two frames a step)\n",
                    scanSteps, scanSteps / scanSeconds, 1000.0 * scanSeconds / scanSteps);
    return 0;
}
