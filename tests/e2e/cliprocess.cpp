#include "cliprocess.h"

#include "childprocess.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>
#include <QtEndian>
#include <cmath>
#include <csignal>
#include <sys/types.h>

CliProcess::CliProcess(const QString& folder_) : folder(folder_) {
    endWithThisProcess(process);
}

CliProcess::~CliProcess() {
    if (running()) {
        process.kill();
        process.waitForFinished(3000);
    }
}

void CliProcess::start(const QStringList& arguments_) {
    arguments = arguments_;
    stdoutBytes.clear();
    stderrBytes.clear();
    code = -1;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString config = QDir(folder).filePath(QStringLiteral("config"));
    QDir().mkpath(config);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(folder);
    process.setProgram(QStringLiteral(ISDVOKAR_CLI));
    process.setArguments(arguments);
    process.start();
}

bool CliProcess::waitForFinished(int timeoutMs) {
    const bool ended = QTest::qWaitFor(
        [this] {
            collect();
            return process.state() == QProcess::NotRunning;
        },
        timeoutMs);
    collect();
    if (ended)
        code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return ended;
}

bool CliProcess::run(const QStringList& arguments_, int timeoutMs) {
    start(arguments_);
    if (!process.waitForStarted(5000))
        return false;
    process.closeWriteChannel();
    return waitForFinished(timeoutMs);
}

void CliProcess::write(const QByteArray& bytes) {
    process.write(bytes);
    process.waitForBytesWritten(1000);
}

void CliProcess::interrupt() {
    if (running() && process.processId() > 0)
        ::kill(pid_t(process.processId()), SIGINT);
}

void CliProcess::collect() {
    stdoutBytes += process.readAllStandardOutput();
    stderrBytes += process.readAllStandardError();
}

QString CliProcess::out() {
    collect();
    return QString::fromUtf8(stdoutBytes);
}

QString CliProcess::err() {
    collect();
    return QString::fromUtf8(stderrBytes);
}

QJsonObject CliProcess::json() {
    return QJsonDocument::fromJson(out().toUtf8()).object();
}

QString CliProcess::describe() {
    return QStringLiteral("isdvokar-cli %1\nexit code %2\n--- standard output\n%3--- standard "
                          "error\n%4")
        .arg(arguments.join(QLatin1Char(' ')))
        .arg(code)
        .arg(out(), err());
}

QString CliProcess::describeFailures() {
    const QJsonArray lanes = json().value(QStringLiteral("programmers")).toArray();
    QStringList lines{QStringLiteral("isdvokar-cli %1").arg(arguments.join(QLatin1Char(' '))),
                      QStringLiteral("exit code %1").arg(code)};
    if (lanes.isEmpty())
        lines << QStringLiteral("--- standard error") << err();
    for (const QJsonValue& value : lanes) {
        const QJsonObject lane = value.toObject();
        const QString result = lane.value(QStringLiteral("result")).toString();
        if (result == QLatin1String("verified"))
            continue;
        lines << QStringLiteral("%1: %2 %3")
                     .arg(lane.value(QStringLiteral("port")).toString(), result,
                          lane.value(QStringLiteral("reason")).toString());
        for (const QJsonValue& value : lane.value(QStringLiteral("rows")).toArray()) {
            QJsonObject row = value.toObject();
            if (row.value(QStringLiteral("outcome")).toString() == QLatin1String("match"))
                continue;
            row.remove(QStringLiteral("file")); // the row number tells it
            lines << QStringLiteral("  ") +
                         QString::fromUtf8(QJsonDocument(row).toJson(QJsonDocument::Compact));
        }
    }
    return lines.join(QLatin1Char('\n'));
}

bool CliProcess::writeToneThenSilence(const QString& path, double toneSeconds,
                                      double silenceSeconds) {
    constexpr int rate = 16000;
    const int tone = int(toneSeconds * rate);
    const int frames = tone + int(silenceSeconds * rate);
    QByteArray data(frames * 2, '\0');
    for (int i = 0; i < tone; ++i) {
        const auto sample = qint16(16000 * std::sin(2 * M_PI * 440.0 * i / rate));
        qToLittleEndian(sample, data.data() + 2 * i);
    }
    QByteArray header(44, '\0');
    const auto put32 = [&header](int at, quint32 v) { qToLittleEndian(v, header.data() + at); };
    const auto put16 = [&header](int at, quint16 v) { qToLittleEndian(v, header.data() + at); };
    header.replace(0, 4, "RIFF");
    put32(4, quint32(36 + data.size()));
    header.replace(8, 8, "WAVEfmt ");
    put32(16, 16);
    put16(20, 1);
    put16(22, 1);
    put32(24, rate);
    put32(28, rate * 2);
    put16(32, 2);
    put16(34, 16);
    header.replace(36, 4, "data");
    put32(40, quint32(data.size()));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(header + data) == header.size() + data.size();
}
