#pragma once

#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

// isdvokar-cli run by a test, as a script runs it: in a working folder of
// the test's, with its own configuration folder (so that no choice of the
// user's sound output reaches it), its output read whole, its exit code
// taken. The environment is the test's: a private sound server's
// PULSE_SERVER reaches it.
class CliProcess {
public:
    explicit CliProcess(const QString& folder);
    ~CliProcess();

    void start(const QStringList& arguments);
    // Runs and waits for the end; the event loop keeps turning meanwhile.
    bool run(const QStringList& arguments, int timeoutMs = 60000);
    bool waitForFinished(int timeoutMs = 60000);
    bool running() const { return process.state() != QProcess::NotRunning; }

    void write(const QByteArray& bytes);
    // SIGINT, as Ctrl-C on the terminal.
    void interrupt();
    void closeInput() { process.closeWriteChannel(); }

    int exitCode() const { return code; }
    QString out();
    QString err();
    // Standard output read as the one result object of --json.
    QJsonObject json();
    // What a failure message shows: the command line, the code and both outputs.
    QString describe();
    // A failure message short enough to be shown whole: the command line, the
    // code, and of each programmer in the --json result that did not verify
    // its result, reason and the rows that did not match; standard error
    // where there is no such result.
    QString describeFailures();

    // A WAV file of a tone at half of full scale followed by digital silence:
    // 16-bit mono at 16 kHz.
    static bool writeToneThenSilence(const QString& path, double toneSeconds,
                                     double silenceSeconds);

private:
    void collect();

    QProcess process;
    QString folder;
    QStringList arguments;
    QByteArray stdoutBytes;
    QByteArray stderrBytes;
    int code = -1;
};
