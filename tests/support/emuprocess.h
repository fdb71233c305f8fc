#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// vokar-emu run by a test: started on its own pseudo-terminal, its log read
// line by line, commands written to its standard input.
//
// Unless the test says otherwise the stand-in is strict and does not greet:
// every frame the program sends is judged, and a "PROTOCOL:" line fails the
// running test when the stand-in ends. The defaults come from the test's
// build settings (vokar_add_emu_test in tests/e2e/CMakeLists.txt), so that a
// whole test file can keep the greeting it was written for, or stay lax when
// it sends frames of its own making. They are read here, in the header, so
// that each test executable's own settings count though the rest of the
// class is built once in the support library. The lists name test
// functions, "name" or "name:data tag", separated by "|".
#ifndef VOKAR_EMU_STRICT
#define VOKAR_EMU_STRICT 1
#endif
#ifndef VOKAR_EMU_GREET
#define VOKAR_EMU_GREET 0
#endif
// Tests that read the greeting although the rest of their file does not.
#ifndef VOKAR_EMU_GREET_IN
#define VOKAR_EMU_GREET_IN ""
#endif
// Tests where the program is known to break the protocol.
#ifndef VOKAR_EMU_EXPECTED_VIOLATIONS
#define VOKAR_EMU_EXPECTED_VIOLATIONS ""
#endif

class EmuProcess {
public:
    EmuProcess()
        : strict(VOKAR_EMU_STRICT != 0),
          greet(VOKAR_EMU_GREET != 0 || runningTestIn(VOKAR_EMU_GREET_IN)),
          violationsExpectedIn(QString::fromUtf8(VOKAR_EMU_EXPECTED_VIOLATIONS)) {}
    ~EmuProcess();

    // Whether the running test function is on a list of the build's.
    static bool runningTestIn(const char* list);

    // How the stand-in is run; set before start().
    bool strict;                // --strict, and any violation fails the running test
    bool greet;                 // --greet: ";" when the program opens the port
    double noise = 0;           // --noise RATE: stray bytes on the line (0: a clean line)
    int noiseBytes = 0;         // --noise-bytes N: the longest burst (0: the stand-in's default)
    quint32 seed = 0;           // --seed N with noise; 0: the stand-in picks one and logs it
    int repeatUnansweredMs = 0; // --repeat-unanswered MS (0: never)

    // Starts it with the settings above, then `arguments`, and waits for the
    // device path on its first line.
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
    // Waits until the program has set the chip type as it does when it opens
    // the port at start, and, when the stand-in greets, has answered the
    // greeting too: a test that commanded before that could have its first
    // reply read together with the greeting and lost.
    bool waitForGreetingAnswered(int timeoutMs = 10000);
    // Stops or resumes the process, as a programmer that stops reading.
    void setStopped(bool stopped);
    bool finished(int timeoutMs = 5000);

    // The "PROTOCOL:" lines logged so far: frames the program should not have
    // sent, one fault a line.
    QStringList violations();
    // The log's last `count` lines up to and including `line` (the whole log's
    // last ones when it holds no such line), to show how a fault came about.
    QString logBefore(const QString& line, int count = 80);
    // The seed line of a noisy run ("noise: ... seed N"), to name in a failure.
    QString noiseSeed();
    // The running test knows that the program breaks the protocol here (a
    // fault to be mended, or a chip type chosen wrong on purpose): instead of
    // failing on violations it fails when the stand-in found none.
    void expectViolations() { violationsExpected = true; }

private:
    void judgeAtEnd();

    QProcess process;
    QString path;
    QStringList lines;
    QByteArray partial;
    bool violationsExpected = false;
    QString violationsExpectedIn;
};
