#pragma once

#include "linenoise.h"
#include "ptyline.h"
#include "replyshaper.h"
#include "soundlistener.h"
#include "vokardevice.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

class QSocketNotifier;

// vokar-emu: the device model on a pseudo-terminal, its clock run from real
// time through the time scale, a log of every frame on standard output and
// control commands on standard input.
class Emulator : public QObject {
    Q_OBJECT
public:
    struct Options {
        int chip = 1;
        double timeScale = 1.0;
        double progressMs = 1000;
        int com = 0;
        QString portsFile = QStringLiteral("isdvokar.ports");
        QString imageFile;
        ReplyShaper shaper;
        int silentCommand = 0;
        // ";" with the power digit when the program opens the port.
        bool greet = false;
        // Judge every command frame; "PROTOCOL:" lines for the faults.
        bool strict = false;
        // Stray bytes: the chance that a place gets a burst, the longest
        // burst, and the seed that makes a run repeatable.
        double noiseRate = 0;
        int noiseBytes = 8;
        quint32 seed = 1;
        // A progress report not answered within this many real ms is sent
        // again (0: never).
        int repeatUnansweredMs = 0;
        // A PulseAudio source heard as the programmer's audio input while it
        // records (each row's level goes into the memory); empty: deaf.
        QString listenSource;
    };

    explicit Emulator(const Options& options, QObject* parent = nullptr);

    // Creates the line and prints its path; false when that failed.
    bool start(QString& error);
    // Runs one control command line.
    void control(const QString& line);
    // Writes the memory image and, when strict, the count of faults; the
    // event loop has ended.
    void finish();

private:
    double realMs() const { return double(clock.nsecsElapsed()) / 1e6; }
    double deviceMs() const { return VokarDevice::TimeScale{options.timeScale}.deviceMs(realMs()); }
    void print(const QString& line);
    void note(const QString& text);
    void watchPeer();
    void readLine();
    void readStdin();
    void tick();
    void schedule();
    void sendReply(const QByteArray& frame);
    void pump();
    void noiseLater(int delayMs);
    void repeatUnanswered();
    void startBabble(double seconds, int bytesPerSecond);
    void babbleTick();
    // Real time between progress reports.
    int progressRealMs() const;
    void hangUp();
    void saveImage();
    bool writePortsLine(QString& error) const;
    // Rows recorded whose sound may not all have been captured yet.
    void rowRecorded(int row, double fromDeviceMs, double toDeviceMs);
    // Gives each recorded row its level once its sound is in (`all`: now,
    // with whatever was captured).
    void resolveLevels(bool all);

    Options options;
    VokarDevice device;
    PtyLine line;
    QElapsedTimer clock;
    QTimer deviceTimer;
    QTimer peerTimer;
    QTimer writeTimer;
    QTimer pairTimer;
    QTimer repeatTimer;
    QTimer babbleTimer;
    LineNoise noise;
    LineNoise babbler;
    int babbleTicksLeft = 0;
    int babbleBytesPerTick = 0;
    qint64 babbleWritten = 0;
    qint64 babbleRefused = 0;
    // The babble written so far may end in the beginning of a reply's head
    // (a code, digits): the line cut it where it refused the rest. The next
    // bytes written start with a byte that ends that head.
    bool babbleHeadOpen = false;
    void closeBabbleHead(bool waitForRoom);
    // Counts the program's openings, so that noise meant for one session
    // never reaches the next.
    int session = 0;
    QSocketNotifier* lineNotifier = nullptr;
    QSocketNotifier* stdinNotifier = nullptr;
    QList<ReplyShaper::Write> outgoing;
    QByteArray stdinBuffer;
    bool peerWasOpen = false;
    bool hungUp = false;

    struct HeardRow {
        int row;
        double fromMs; // real time
        double toMs;
    };
    std::unique_ptr<SoundListener> listener;
    QList<HeardRow> unheard;
    QTimer levelTimer;
};
