#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <functional>

// A private PulseAudio server with one null sink, for tests and benchmarks
// that need a real sound system. It runs on its own socket in a temporary
// folder and is pointed to by PULSE_SERVER for this process and its children.
//
// An idle null sink renders up to two seconds ahead, so a silent
// low-latency stream is kept playing into it; the sink's monitor is recorded
// all the time, and every chunk of it is stamped on arrival, so that the
// moments sound began and ended can be compared with the player's events.
class NullSinkServer : public QObject {
    Q_OBJECT
public:
    static constexpr int MonitorRate = 48000;
    // A recorded sample louder than this is sound (full scale is 32767):
    // -61 dB, while the silent stream and the sink's silence are exact zeros.
    static constexpr int SoundThreshold = 30;
    static constexpr int SinkLatencyMs = 10;

    explicit NullSinkServer(QObject* parent = nullptr);
    ~NullSinkServer() override;

    // Starts the server, the silent stream and the recording, and waits until
    // the sink has settled. False, with the reason, when any of it fails.
    bool start(QString& error);
    void stop();
    QString serverAddress() const;

    // Runs the event loop until `condition` holds or `timeoutMs` has passed.
    static bool waitFor(const std::function<bool()>& condition, int timeoutMs);

    // Microseconds on the clock the recording is stamped with.
    qint64 nowUSecs() const { return clock.nsecsElapsed() / 1000; }
    qint64 recordedFrames() const { return frames; }
    // Forgets the sound heard so far.
    void clearSound();
    bool heardSound() const { return firstSoundFrame >= 0; }
    // From the first to the last loud sample heard since clearSound().
    double soundSeconds() const;
    // When the first and last loud samples were played, worked out from the
    // arrival of their chunk and their place in it.
    qint64 firstSoundUSecs() const { return firstSoundAt; }
    qint64 lastSoundUSecs() const { return lastSoundAt; }
    // When the chunk with the first loud sample arrived: the sink renders in
    // blocks, so this is the later, safe bound for when it was played.
    qint64 firstSoundArrivalUSecs() const { return firstSoundArrival; }

private:
    void readMonitor();
    bool startClient(QProcess& process, const QString& program, const QStringList& arguments,
                     QString& error);

    QTemporaryDir folder;
    QProcess server;
    QProcess silence;
    QProcess monitor;
    QElapsedTimer clock;
    QByteArray pending;
    qint64 frames = 0;
    qint64 firstSoundFrame = -1;
    qint64 lastSoundFrame = -1;
    qint64 firstSoundAt = -1;
    qint64 lastSoundAt = -1;
    qint64 firstSoundArrival = -1;
};
