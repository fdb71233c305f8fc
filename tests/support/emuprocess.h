#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// vokar-emu run by a test: started on its own pseudo-terminal, its log read
// line by line, commands written to its standard input.
class EmuProcess {
public:
    ~EmuProcess();

    // Starts it and waits for the device path on its first line.
    bool start(const QStringList& arguments = {});
    QString device() const { return path; }
    void command(const QString& line);
    // Reads whatever it has logged so far.
    const QStringList& log();
    // Waits until a log line contains `text`; false after `timeoutMs`.
    bool waitForLog(const QString& text, int timeoutMs = 5000);
    // The same without running the caller's event loop, so that a test can
    // tell whether bytes left without the loop's help.
    bool waitForLogBlocking(const QString& text, int timeoutMs = 5000);
    bool logContains(const QString& text);
    // Waits until the program has answered the stand-in's greeting. The
    // program sends the chip type when it opens the port, and again as its
    // answer; a test that commands before the greeting was taken could have
    // its first reply read together with the greeting and lost.
    bool waitForGreetingAnswered(int timeoutMs = 10000);
    // Stops or resumes the process, as a programmer that stops reading.
    void setStopped(bool stopped);
    bool finished(int timeoutMs = 5000);

private:
    QProcess process;
    QString path;
    QStringList lines;
    QByteArray partial;
};
