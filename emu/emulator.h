#pragma once

#include "ptyline.h"
#include "replyshaper.h"
#include "vokardevice.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

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
    };

    explicit Emulator(const Options& options, QObject* parent = nullptr);

    // Creates the line and prints its path; false when that failed.
    bool start(QString& error);
    // Runs one control command line.
    void control(const QString& line);
    // Writes the memory image; the event loop has ended.
    void finish() { saveImage(); }

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
    void hangUp();
    void saveImage();
    bool writePortsLine(QString& error) const;

    Options options;
    VokarDevice device;
    PtyLine line;
    QElapsedTimer clock;
    QTimer deviceTimer;
    QTimer peerTimer;
    QTimer writeTimer;
    QTimer pairTimer;
    QSocketNotifier* lineNotifier = nullptr;
    QSocketNotifier* stdinNotifier = nullptr;
    QList<ReplyShaper::Write> outgoing;
    QByteArray stdinBuffer;
    bool peerWasOpen = false;
    bool hungUp = false;
};
