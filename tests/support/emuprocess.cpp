#include "emuprocess.h"

#include "childprocess.h"

#include <QDeadlineTimer>
#include <QTest>
#include <csignal>
#include <sys/types.h>

EmuProcess::~EmuProcess() {
    if (process.state() != QProcess::NotRunning) {
        setStopped(false);
        process.write("quit\n");
        if (!process.waitForFinished(2000))
            process.kill();
        process.waitForFinished(2000);
    }
}

bool EmuProcess::start(const QStringList& arguments) {
    process.setProgram(QStringLiteral(VOKAR_EMU));
    process.setArguments(arguments);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    endWithThisProcess(process);
    process.start();
    if (!process.waitForStarted(5000))
        return false;
    const QDeadlineTimer deadline(5000);
    while (lines.isEmpty() && !deadline.hasExpired()) {
        process.waitForReadyRead(100);
        log();
    }
    if (lines.isEmpty())
        return false;
    path = lines.first();
    return path.startsWith(QLatin1Char('/'));
}

void EmuProcess::command(const QString& line) {
    process.write((line + QLatin1Char('\n')).toLocal8Bit());
    process.waitForBytesWritten(1000);
}

const QStringList& EmuProcess::log() {
    partial += process.readAllStandardOutput();
    int end;
    while ((end = partial.indexOf('\n')) >= 0) {
        lines << QString::fromLocal8Bit(partial.left(end));
        partial.remove(0, end + 1);
    }
    return lines;
}

bool EmuProcess::logContains(const QString& text) {
    for (const QString& line : log())
        if (line.contains(text))
            return true;
    return false;
}

bool EmuProcess::waitForLog(const QString& text, int timeoutMs) {
    return QTest::qWaitFor([&] { return logContains(text); }, timeoutMs);
}

bool EmuProcess::waitForGreetingAnswered(int timeoutMs) {
    return QTest::qWaitFor([&] { return log().filter(QStringLiteral("SetChip")).size() >= 2; },
                           timeoutMs);
}

bool EmuProcess::waitForLogBlocking(const QString& text, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!logContains(text)) {
        if (deadline.hasExpired())
            return false;
        process.waitForReadyRead(50);
    }
    return true;
}

void EmuProcess::setStopped(bool stopped) {
    if (process.state() == QProcess::Running && process.processId() > 0)
        ::kill(pid_t(process.processId()), stopped ? SIGSTOP : SIGCONT);
}

bool EmuProcess::finished(int timeoutMs) {
    return process.state() == QProcess::NotRunning || process.waitForFinished(timeoutMs);
}
