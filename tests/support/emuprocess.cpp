#include "emuprocess.h"

#include "childprocess.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QTest>
#include <csignal>
#include <sys/types.h>

bool EmuProcess::runningTestIn(const char* list) {
    const char* function = QTest::currentTestFunction();
    if (function == nullptr)
        return false;
    const QString name = QString::fromLatin1(function);
    const char* tag = QTest::currentDataTag();
    const QString tagged = tag != nullptr ? name + QLatin1Char(':') + QString::fromUtf8(tag) : name;
    const QStringList names = QString::fromUtf8(list).split(QLatin1Char('|'), Qt::SkipEmptyParts);
    return names.contains(name) || names.contains(tagged);
}

EmuProcess::~EmuProcess() {
    if (process.state() != QProcess::NotRunning) {
        setStopped(false);
        process.write("quit\n");
        if (!process.waitForFinished(2000))
            process.kill();
        process.waitForFinished(2000);
    }
    if (!path.isEmpty())
        judgeAtEnd();
}

void EmuProcess::judgeAtEnd() {
    if (!strict)
        return;
    const QStringList found = violations();
    const bool expected =
        violationsExpected || runningTestIn(violationsExpectedIn.toUtf8().constData());
    QString message;
    if (expected && found.isEmpty())
        message = QStringLiteral("the program was expected to break the protocol here, and the "
                                 "stand-in found nothing: take this test off the expected list");
    else if (!expected && !found.isEmpty())
        message = QStringLiteral("the stand-in found %1 protocol violation(s):\n%2")
                      .arg(found.size())
                      .arg(found.join(QLatin1Char('\n')));
    if (expected && !found.isEmpty())
        qInfo("protocol violation(s), as expected:\n%s", qPrintable(found.join(QLatin1Char('\n'))));
    if (message.isEmpty())
        return;
    if (!expected && !found.isEmpty())
        message += QStringLiteral("\nthe stand-in's log up to the first of them:\n") +
                   logBefore(found.first());
    if (!noiseSeed().isEmpty())
        message += QLatin1Char('\n') + noiseSeed();
    // Outside a test run (a tool that uses the stand-in) there is nothing to fail.
    if (QTest::currentTestFunction() != nullptr)
        QTest::qFail(qPrintable(message), __FILE__, __LINE__);
    else
        qWarning("%s", qPrintable(message));
}

bool EmuProcess::start(const QStringList& arguments) {
    QStringList all;
    if (strict)
        all << QStringLiteral("--strict");
    if (greet)
        all << QStringLiteral("--greet");
    if (noise > 0)
        all << QStringLiteral("--noise") << QString::number(noise);
    if (noiseBytes > 0)
        all << QStringLiteral("--noise-bytes") << QString::number(noiseBytes);
    if (seed != 0)
        all << QStringLiteral("--seed") << QString::number(seed);
    if (repeatUnansweredMs > 0)
        all << QStringLiteral("--repeat-unanswered") << QString::number(repeatUnansweredMs);
    process.setProgram(QStringLiteral(VOKAR_EMU));
    process.setArguments(all + arguments);
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
    if (lines.isEmpty() || !lines.first().startsWith(QLatin1Char('/')))
        return false;
    path = lines.first();
    // With a COM number the stand-in writes its line into the ports file
    // after naming its device; the program must find it there.
    if (arguments.contains(QStringLiteral("--com"))) {
        const auto written = [this] {
            return logContains(QStringLiteral(" written to ")) ||
                   logContains(QStringLiteral("cannot write "));
        };
        const QDeadlineTimer linesDeadline(5000);
        while (!written() && !linesDeadline.hasExpired())
            process.waitForReadyRead(100);
        if (!logContains(QStringLiteral(" written to "))) {
            qWarning() << "vokar-emu wrote no ports line:" << lines;
            return false;
        }
    }
    return true;
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

QStringList EmuProcess::violations() {
    QStringList found;
    for (const QString& line : log())
        if (line.startsWith(QLatin1String("PROTOCOL:")))
            found << line;
    return found;
}

QString EmuProcess::logBefore(const QString& line, int count) {
    const QStringList& all = log();
    const qsizetype at = all.indexOf(line);
    const qsizetype end = at < 0 ? all.size() : at + 1;
    const qsizetype begin = qMax<qsizetype>(0, end - count);
    return all.mid(begin, end - begin).join(QLatin1Char('\n'));
}

QString EmuProcess::noiseSeed() {
    for (const QString& line : log())
        if (line.contains(QLatin1String("# noise:")))
            return line.trimmed();
    return QString();
}

bool EmuProcess::waitForLog(const QString& text, int timeoutMs) {
    return QTest::qWaitFor([&] { return logContains(text); }, timeoutMs);
}

bool EmuProcess::waitForGreetingAnswered(int timeoutMs) {
    const int setChips = greet ? 2 : 1;
    if (QTest::qWaitFor([&] { return log().filter(QStringLiteral("SetChip")).size() >= setChips; },
                        timeoutMs))
        return true;
    qWarning("the program did not set the chip type; the stand-in's log:\n%s",
             qPrintable(log().join(QLatin1Char('\n'))));
    return false;
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
