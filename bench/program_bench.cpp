// Start-up to the main window on the screen, with the memory it takes then,
// and saving and loading a file list of 100,000 entries.
//
// Start-up is measured in fresh processes (the benchmark runs itself with
// --once), from main() to the window exposed, with the real port (set to no
// port, so nothing opens) and the real player. The list is saved and loaded
// through the program's own commands, as the user does it.

#include "app/mainwindow.h"
#include "app/startup.h"
#include "core/filedialog.h"
#include "core/prompter.h"
#include "core/tablelayout.h"
#include "files/player.h"
#include "link/serialcomport.h"
#include "settingsfile.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int StartRuns = 7;
constexpr int ListEntries = 100000;
constexpr int ListRounds = 3;

// Answers every file dialog with one name; messages are printed.
class ScriptedPrompter : public Prompter {
public:
    QString answer;
    void showMessage(const QString& text) override {
        std::printf("message: %s\n", qPrintable(text));
    }
    void showError(const QString& text) override { std::printf("error: %s\n", qPrintable(text)); }
    bool execute(FileDialog& dialog) override {
        if (answer.isEmpty())
            return false;
        dialog.fileName = answer;
        return true;
    }
};

// Kibibytes of a "VmRSS:"-style line of /proc/self/status.
long statusKiB(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

const QByteArray settings = SettingsFile().port(0).autoOpen(false).text();

// One start-up: prints "startup <ms> <rss KiB> <peak KiB>".
int startOnce(int argc, char** argv, const QElapsedTimer& sinceMain) {
    QApplication app(argc, argv);
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());
    {
        QFile file(QStringLiteral("isdvokar.fig"));
        if (!file.open(QIODevice::WriteOnly) || file.write(settings) != settings.size())
            return 1;
    }
    ScriptedPrompter prompter;
    SerialComPort port;
    Player player;
    Windows windows = createWindows(port, &player, prompter, QStringLiteral("isdvokar.fig"));
    windows.main->show();
    if (!QTest::qWaitForWindowExposed(windows.main.get()))
        return 1;
    const double ms = sinceMain.nsecsElapsed() / 1e6;
    std::printf("startup %.3f %ld %ld\n", ms, statusKiB("VmRSS:"), statusKiB("VmHWM:"));
    return 0;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void measureStartUp(const QString& self) {
    std::vector<double> ms, rss, peak;
    for (int run = 0; run < StartRuns; ++run) {
        QProcess child;
        child.start(self, {QStringLiteral("--once")});
        if (!child.waitForFinished(60000) || child.exitCode() != 0)
            continue;
        const QList<QByteArray> words = child.readAllStandardOutput().trimmed().split(' ');
        if (words.size() != 4 || words.at(0) != "startup")
            continue;
        ms.push_back(words.at(1).toDouble());
        rss.push_back(words.at(2).toDouble() / 1024.0);
        peak.push_back(words.at(3).toDouble() / 1024.0);
    }
    if (ms.empty()) {
        std::puts("start-up: no result");
        return;
    }
    std::printf("start-up to the window shown (%zu runs): median %.1f ms, max %.1f ms; "
                "memory then: RSS %.1f MiB, peak %.1f MiB\n",
                ms.size(), median(ms), *std::max_element(ms.begin(), ms.end()), median(rss),
                median(peak));
}

void measureList() {
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());
    {
        QFile file(QStringLiteral("isdvokar.fig"));
        if (!file.open(QIODevice::WriteOnly) || file.write(settings) != settings.size())
            return;
    }
    ScriptedPrompter prompter;
    SerialComPort port;
    Player player;
    Windows windows = createWindows(port, &player, prompter, QStringLiteral("isdvokar.fig"));
    MainWindow& w = *windows.main;
    w.state().fileGrid.setRowCount(ListEntries + 2);
    for (int row = 1; row <= ListEntries; ++row) {
        w.state().fileGrid.setCell(FileColumn::Start, row, QString::asprintf("%05d", row % 400));
        w.state().fileGrid.setCell(FileColumn::Stop, row, QStringLiteral("not used"));
        w.state().fileGrid.setCell(FileColumn::File, row,
                                   QStringLiteral("/home/user/sounds/message-%1.wav").arg(row));
    }
    w.state().availability.UpdateMenu();
    const QString list = folder.filePath(QStringLiteral("big.lsp"));
    std::vector<double> save, load;
    for (int round = 0; round < ListRounds; ++round) {
        QFile::remove(list);
        prompter.answer = list;
        QElapsedTimer took;
        took.start();
        w.state().handlers.run(Handler::SaveListAs);
        save.push_back(took.nsecsElapsed() / 1e6);
        took.start();
        w.state().handlers.run(Handler::OpenTable);
        load.push_back(took.nsecsElapsed() / 1e6);
    }
    const bool whole = w.state().fileGrid.cell(FileColumn::File, ListEntries) ==
                       QStringLiteral("/home/user/sounds/message-%1.wav").arg(ListEntries);
    std::printf("file list of %d entries (%.1f MiB): save median %.0f ms, load median %.0f ms "
                "(%d rounds)%s\n",
                ListEntries, QFileInfo(list).size() / 1048576.0, median(save), median(load),
                ListRounds, whole ? "" : " -- the list did not load whole");
}

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceMain;
    sinceMain.start();
    if (argc > 1 && qstrcmp(argv[1], "--once") == 0)
        return startOnce(argc, argv, sinceMain);
    QApplication app(argc, argv);
    measureStartUp(QCoreApplication::applicationFilePath());
    measureList();
    return 0;
}
