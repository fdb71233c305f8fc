// The start-up cost of a large "isdvokar.ports": the window and its dialogs
// created (the port dialog says which device each COM number means and lists
// the devices present) with a 10 MB ports file beside the settings, against
// the same start without one; and one refresh of the open port dialog's list,
// which runs twice a second while the dialog is shown. Prints its figures;
// never fails on a time.

#include "app/mainwindow.h"
#include "app/startup.h"
#include "core/prompter.h"
#include "link/serialcomport.h"
#include "widgets/portdialog.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Rounds = 5;
constexpr qint64 PortsFileBytes = 10 * 1024 * 1024;

class SilentPrompter : public Prompter {
public:
    void showMessage(const QString&) override {}
    void showError(const QString&) override {}
    bool execute(FileDialog&) override { return false; }
};

QByteArray bigPortsFile() {
    QByteArray bytes;
    bytes.reserve(PortsFileBytes + 200);
    const QByteArray note = "# adapters tried on this bench over the years, kept for reference: "
                            "FT232R, CP2102, CH340, PL2303\n";
    while (bytes.size() < PortsFileBytes)
        bytes += note;
    bytes += "COM1=/dev/ttyVOKAR0\nCOM2=/dev/ttyVOKAR1\n";
    return bytes;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Milliseconds to create the program's windows in `folder`, the median of
// Rounds starts, and of one refresh of the port dialog's list of devices.
std::pair<double, double> startUp(const QString& folder) {
    QDir::setCurrent(folder);
    std::vector<double> start, refresh;
    for (int round = 0; round < Rounds; ++round) {
        SilentPrompter prompter;
        SerialComPort port;
        QElapsedTimer timer;
        timer.start();
        Windows windows = createWindows(port, nullptr, prompter, QStringLiteral("isdvokar.fig"));
        start.push_back(double(timer.nsecsElapsed()) / 1e6);
        timer.start();
        windows.port->show(); // showing refreshes the list
        refresh.push_back(double(timer.nsecsElapsed()) / 1e6);
        windows.port->hide();
    }
    return {median(start), median(refresh)};
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QByteArray settings = "VOKAR-1 Configuration File\r\n0\r\n1\r\n\r\n\r\n\r\n0\r\n";
    QTemporaryDir plain, big;
    for (const QTemporaryDir* dir : {&plain, &big}) {
        QFile file(dir->filePath(QStringLiteral("isdvokar.fig")));
        if (!file.open(QIODevice::WriteOnly) || file.write(settings) != settings.size())
            return 1;
    }
    {
        QFile ports(big.filePath(QStringLiteral("isdvokar.ports")));
        const QByteArray bytes = bigPortsFile();
        if (!ports.open(QIODevice::WriteOnly) || ports.write(bytes) != bytes.size())
            return 1;
    }
    const auto [plainStart, plainRefresh] = startUp(plain.path());
    const auto [bigStart, bigRefresh] = startUp(big.path());
    std::printf("start-up with a 10 MB isdvokar.ports: %.1f ms (without one: %.1f ms), median of "
                "%d\n",
                bigStart, plainStart, Rounds);
    std::printf("port dialog's device list refreshed with a 10 MB isdvokar.ports: %.1f ms "
                "(without one: %.1f ms)\n",
                bigRefresh, plainRefresh);
    return 0;
}
