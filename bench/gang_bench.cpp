// Several programmers at once: chips an hour for 1, 2, 3 and 4 programmers
// driven by one isdvokar-cli gang, the program's CPU per programmer, and how
// long after each file's sound the programmer was done with it. Stand-ins at
// real time (an ISD 33060 each), a null sink of a private sound server as
// each one's sound output, a table of three 2-second files. Prints its
// figures; never fails on a time.

#include "childprocess.h"
#include "nullsinkserver.h"
#include "testsounds.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <sndfile.h>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int MostLanes = 4;
// Each count of programmers records at least this many chips: whether a
// 2-second sound ends just before or just after a report a second apart
// decides whether its recording runs on by a second, so one chip's time
// varies by up to three seconds.
constexpr int ChipsEach = 8;
constexpr int Files = 3;
constexpr double FileSeconds = 2.0;
// The stand-in reports progress once a second of chip time.
constexpr double ReportMs = 1000;

double childCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

bool runQuietly(const QString& program, const QStringList& arguments) {
    QProcess process;
    endWithThisProcess(process);
    process.start(program, arguments);
    return process.waitForFinished(10000) && process.exitCode() == 0;
}

// From the frame log: for every port, each "sound ends" note, the
// programmer's next "finished" reply, and how many progress reports came
// between them (one: the recording ended at the first report after the
// sound, which was answered with the stop).
struct Lags {
    std::vector<double> ms;
    int mostReports = 0;
};
Lags lagsFrom(const QString& log) {
    static const QRegularExpression line(
        QStringLiteral("^\\s*([0-9.]+) (\\S+) (# sound ends|in  31 |in  32 )"));
    QHash<QString, double> soundEnded;
    QHash<QString, int> reports;
    Lags lags;
    for (const QString& text : log.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch m = line.match(text);
        if (!m.hasMatch())
            continue;
        const double at = m.captured(1).toDouble() * 1000;
        const QString port = m.captured(2);
        if (m.captured(3).startsWith(QLatin1Char('#'))) {
            soundEnded.insert(port, at);
            reports.insert(port, 0);
        } else if (!soundEnded.contains(port)) {
            continue;
        } else if (m.captured(3) == QLatin1String("in  32 ")) {
            reports[port] += 1;
        } else {
            lags.ms.push_back(at - soundEnded.take(port));
            lags.mostReports = std::max(lags.mostReports, reports.take(port));
        }
    }
    return lags;
}

struct Run {
    double seconds = 0; // the whole run, start to end of the process
    double cpuSeconds = 0;
    int verified = 0;
    std::vector<double> laneSeconds; // each programmer's chip, recording to verdict
    Lags lags;                       // a file's sound ended -> the programmer's "finished"
};

Run runGang(const QString& folder, const QString& cli, const QString& emu, int lanes,
            const QString& list) {
    Run run;
    std::vector<std::unique_ptr<QProcess>> emus;
    QByteArray ports;
    for (int lane = 1; lane <= lanes; ++lane) {
        auto process = std::make_unique<QProcess>();
        endWithThisProcess(*process);
        process->start(emu, {QStringLiteral("--chip"), QStringLiteral("1")});
        if (!process->waitForReadyRead(5000))
            return run;
        const QString device = QString::fromLocal8Bit(process->readLine()).trimmed();
        ports += QStringLiteral("COM%1=%2\n").arg(lane).arg(device).toLocal8Bit();
        emus.push_back(std::move(process));
    }
    QFile portsFile(QDir(folder).filePath(QStringLiteral("isdvokar.ports")));
    if (!portsFile.open(QIODevice::WriteOnly) || portsFile.write(ports) != ports.size())
        return run;
    portsFile.close();

    QStringList arguments{QStringLiteral("gang")};
    for (int lane = 1; lane <= lanes; ++lane)
        arguments << QStringLiteral("--pair") << QStringLiteral("COM%1=lane%1").arg(lane);
    arguments << QStringLiteral("record") << list << QStringLiteral("--chip") << QStringLiteral("1")
              << QStringLiteral("--json") << QStringLiteral("--log")
              << QStringLiteral("frames.log");
    QProcess gang;
    endWithThisProcess(gang);
    gang.setWorkingDirectory(folder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), QDir(folder).filePath(QStringLiteral("config")));
    gang.setProcessEnvironment(env);
    const double cpuBefore = childCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    gang.start(cli, arguments);
    gang.waitForFinished(120000);
    run.seconds = double(clock.elapsed()) / 1000;
    // The stand-ins still run: what was reaped meanwhile is the program alone.
    run.cpuSeconds = childCpuSeconds() - cpuBefore;
    const QJsonArray programmers = QJsonDocument::fromJson(gang.readAllStandardOutput())
                                       .object()
                                       .value(QStringLiteral("programmers"))
                                       .toArray();
    for (const QJsonValue& value : programmers) {
        const QJsonObject lane = value.toObject();
        run.laneSeconds.push_back(lane.value(QStringLiteral("seconds")).toDouble());
        if (lane.value(QStringLiteral("result")).toString() == QLatin1String("verified"))
            ++run.verified;
        else
            std::printf("  %s: %s\n", qPrintable(lane.value(QStringLiteral("port")).toString()),
                        qPrintable(lane.value(QStringLiteral("reason")).toString()));
    }
    QFile log(QDir(folder).filePath(QStringLiteral("frames.log")));
    if (log.open(QIODevice::ReadOnly))
        run.lags = lagsFrom(QString::fromUtf8(log.readAll()));
    for (auto& process : emus) {
        process->write("quit\n");
        if (!process->waitForFinished(3000))
            process->kill();
    }
    return run;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    NullSinkServer sound;
    QString error;
    if (!sound.start(error)) {
        std::printf("gang: no private sound server: %s\n", qPrintable(error));
        return 0;
    }
    // One null sink for each programmer's output, kept at a sound card's pace
    // by a silent stream with a small buffer, as the server's own sink is.
    std::vector<std::unique_ptr<QProcess>> silence;
    for (int lane = 1; lane <= MostLanes; ++lane) {
        if (!runQuietly(QStringLiteral("pactl"),
                        {QStringLiteral("load-module"), QStringLiteral("module-null-sink"),
                         QStringLiteral("sink_name=lane%1").arg(lane)})) {
            std::printf("gang: pactl cannot add a null sink\n");
            return 0;
        }
        auto quiet = std::make_unique<QProcess>();
        endWithThisProcess(*quiet);
        quiet->setStandardInputFile(QStringLiteral("/dev/zero"));
        quiet->setStandardOutputFile(QProcess::nullDevice());
        quiet->start(QStringLiteral("pacat"),
                     {QStringLiteral("--latency-msec=%1").arg(NullSinkServer::SinkLatencyMs),
                      QStringLiteral("-d"), QStringLiteral("lane%1").arg(lane)});
        silence.push_back(std::move(quiet));
    }

    QTemporaryDir folder;
    QByteArray list;
    for (int file = 1; file <= Files; ++file) {
        const QString path = folder.filePath(QStringLiteral("message%1.wav").arg(file));
        if (!TestSounds::writeToneWav(path, 16000, 1, FileSeconds, SF_FORMAT_PCM_16))
            return 1;
        list += "not used;not used;" + path.toLocal8Bit() + ";\r\n";
    }
    const QString listPath = folder.filePath(QStringLiteral("list.lsp"));
    QFile listFile(listPath);
    if (!listFile.open(QIODevice::WriteOnly) || listFile.write(list) != list.size())
        return 1;
    listFile.close();

    std::printf("gang: %d files of %.1f s on an ISD 33060 (150 ms a row), stand-ins at real time "
                "reporting every %.0f ms, a round on all outputs first, then at least %d chips "
                "each, %d cores\n",
                Files, FileSeconds, ReportMs, ChipsEach, QThread::idealThreadCount());
    // A round on every output first, not counted: a null sink's first stream
    // may be held back while the sink settles, which no sound card does.
    runGang(folder.path(), QStringLiteral(ISDVOKAR_CLI), QStringLiteral(VOKAR_EMU), MostLanes,
            listPath);
    double singleRate = 0;
    for (int lanes = 1; lanes <= MostLanes; ++lanes) {
        double seconds = 0;
        double cpu = 0;
        int verified = 0;
        double chipsAnHour = 0;
        std::vector<double> chips;
        std::vector<double> lags;
        int mostReports = 0;
        const int rounds = (ChipsEach + lanes - 1) / lanes;
        for (int round = 0; round < rounds; ++round) {
            const Run run = runGang(folder.path(), QStringLiteral(ISDVOKAR_CLI),
                                    QStringLiteral(VOKAR_EMU), lanes, listPath);
            seconds += run.seconds;
            cpu += run.cpuSeconds;
            // Each programmer goes on with its next chip as soon as it is
            // done (--repeat), whatever the others do.
            for (double chip : run.laneSeconds) {
                chipsAnHour += 3600.0 / chip / rounds;
                chips.push_back(chip);
            }
            verified += run.verified;
            lags.insert(lags.end(), run.lags.ms.begin(), run.lags.ms.end());
            mostReports = std::max(mostReports, run.lags.mostReports);
        }
        const double perRun = seconds / rounds;
        if (lanes == 1)
            singleRate = chipsAnHour;
        const double cpuShare = 100.0 * cpu / seconds / lanes;
        std::sort(lags.begin(), lags.end());
        const double worstLag = lags.empty() ? -1 : lags.back();
        const double medianLag = lags.empty() ? -1 : lags[lags.size() / 2];
        std::sort(chips.begin(), chips.end());
        std::printf(
            "gang of %d: %.0f chips an hour (%.2f times one), a chip %.1f to %.1f s, %.1f s "
            "a run, CPU %.2f%% of "
            "one core a programmer, %d of %d chips verified; sound end to finished: "
            "median %.0f ms, worst %.0f ms over %zu files, at most %d progress report "
            "between them (%s)\n",
            lanes, chipsAnHour, chipsAnHour / singleRate, chips.empty() ? 0.0 : chips.front(),
            chips.empty() ? 0.0 : chips.back(), perRun, cpuShare, verified, lanes * rounds,
            medianLag, worstLag, lags.size(), mostReports,
            !lags.empty() && mostReports <= 1 ? "within one report" : "NOT within one report");
    }
    for (auto& quiet : silence) {
        quiet->terminate();
        quiet->waitForFinished(3000);
    }
    return 0;
}
