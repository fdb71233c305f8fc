#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>

// A private sound server with one null sink, for tests and benchmarks that
// need a real sound system. It runs on its own socket in a temporary folder
// and is pointed to by PULSE_SERVER for this process and its children.
//
// Three set-ups:
// - LowLatencyNullSink: PulseAudio, with a silent 10 ms stream kept playing
//   into the sink so that it never renders far ahead (an idle null sink
//   renders up to two seconds ahead), and the monitor recorded at 5 ms.
// - DefaultPulseAudio: PulseAudio with its default settings and the null
//   sink and idle suspension its own configuration loads on a machine without
//   sound hardware; nothing holds the latency low while the player plays (the
//   monitor is recorded at 50 ms, above what the player asks for).
// - PipeWire: pipewire, wireplumber and pipewire-pulse, started headless
//   (no D-Bus, no devices) on a private runtime folder; the null sink is made
//   through the PulseAudio service, as a user's would be; the monitor is
//   recorded without asking for any latency.
//
// The sink's monitor is recorded all the time, and every chunk of it is
// stamped on arrival, so that the moments sound began and ended can be
// compared with the player's events.
class NullSinkServer : public QObject {
    Q_OBJECT
public:
    enum class Setup { LowLatencyNullSink, DefaultPulseAudio, PipeWire };

    static constexpr int MonitorRate = 48000;
    // A recorded sample louder than this is sound (full scale is 32767):
    // -61 dB, while the silent stream and the sink's silence are exact zeros.
    static constexpr int SoundThreshold = 30;
    static constexpr int SinkLatencyMs = 10;
    // Silence longer than this (2 ms) between loud samples is a gap in the
    // sound, not a zero crossing of a tone.
    static constexpr int GapFrames = MonitorRate / 500;

    explicit NullSinkServer(Setup setup = Setup::LowLatencyNullSink, QObject* parent = nullptr);
    ~NullSinkServer() override;

    static QString nameOf(Setup setup);
    // Empty when the programs the set-up needs are installed, otherwise
    // which are missing.
    static QString missingPrograms(Setup setup);

    // Starts the server and the recording, and waits until the sink has
    // settled. False, with the reason, when any of it fails.
    bool start(QString& error);
    void stop();
    QString serverAddress() const;
    Setup setup() const { return kind; }

    // Runs the event loop until `condition` holds or `timeoutMs` has passed.
    static bool waitFor(const std::function<bool()>& condition, int timeoutMs);

    // Microseconds on the clock the recording is stamped with.
    qint64 nowUSecs() const { return clock.nsecsElapsed() / 1000; }
    qint64 recordedFrames() const;
    // Forgets the sound heard so far.
    void clearSound();
    bool heardSound() const;
    // From the first to the last loud sample heard since clearSound().
    double soundSeconds() const;
    // The same without the gaps inside it: what of the sound was heard,
    // however the sink's pace wavered.
    double heardSeconds() const;
    // When the first and last loud samples were played, worked out from the
    // arrival of their chunk and their place in it.
    qint64 firstSoundUSecs() const;
    qint64 lastSoundUSecs() const;
    // When the chunk with the first loud sample arrived: the sink renders in
    // blocks, so this is the later, safe bound for when it was played.
    qint64 firstSoundArrivalUSecs() const;

private:
    class Monitor;

    bool startPulseAudio(QString& error);
    bool startPipeWire(QString& error);
    bool startPipeWireProcesses(QString& error);
    bool startProcess(QProcess& process, const QString& program, const QStringList& arguments,
                      QString& error);
    bool runTool(const QString& program, const QStringList& arguments, QString& error);
    QProcessEnvironment serverEnvironment() const;

    Setup kind;
    QTemporaryDir folder;
    QString socket;
    QProcess server;
    QProcess sessionManager;
    QProcess pulseService;
    QProcess silence;
    QElapsedTimer clock;
    std::unique_ptr<Monitor> monitor;
};
