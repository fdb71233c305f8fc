#pragma once

#include "decodedsound.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

struct pa_context;
struct pa_operation;
struct pa_stream;
struct pa_threaded_mainloop;

// Hands one decoded sound to the sound server (PulseAudio, or PipeWire
// through its PulseAudio service) and tells when its last sample has been
// played. It lives on a thread of its own, so that a busy user interface can
// never starve the stream, and is driven from the player with blocking calls.
//
// The stream asks the server for a small sink latency (SinkLatencyMs), also on
// a server with default settings, whose sinks otherwise run at up to two
// seconds. The end is taken from the played position the server reports (what it has
// read from the stream less what its sink still holds, carried on between its
// reports), not from the buffer: the stream is fed silence after the sound so
// that it keeps running until that position has passed the last sample.
//
// Each playback gets a fresh stream, connected ahead while the previous one
// ends, so that its positions count from the first byte of the playback.
class SoundOutput : public QObject {
    Q_OBJECT
public:
    // The stream asks the server to run its sink at a small latency, and
    // keeps more queued with the server than that: the end is taken from the
    // played position, so the queue only has to ride out a busy machine
    // (queues of 15 and 30 ms, with the sink at half of them, ran dry now and
    // then at a load of 7 to 12 on two cores, which stretches the sound).
    static constexpr int SinkLatencyMs = 10;
    static constexpr int QueueMs = 100;
    // How often the stream is topped up and the position checked; also the
    // granularity of the end report.
    static constexpr int PollMs = 2;
    // How often, while playing, the server is asked for a fresh position,
    // and how far the position is carried on past its last report.
    static constexpr int TimingMs = 10;
    static constexpr int ExtrapolateMs = 20;
    // A stream whose position does not move for this long has stalled (the
    // sound server went away); the playback then ends.
    static constexpr int StallMs = 3000;
    // The longest wait for the server to accept a connection or a stream.
    static constexpr int ConnectMs = 5000;
    // The real-time priority the feeding threads ask for, where the system
    // grants it: below PulseAudio's (5) and PipeWire's (88) own threads.
    static constexpr int RealtimePriority = 3;

    explicit SoundOutput(QObject* parent = nullptr);
    ~SoundOutput() override;

    // Connects a stream in the sound's format. False, with the reason, when
    // there is no sound server or it refuses the stream.
    bool open(std::shared_ptr<const DecodedSound> sound, QString& error);
    // Starts playing from byte `from` of the sound; the first buffer has
    // been handed to the server when this returns. False when the stream
    // cannot play (then no `ended` follows).
    bool play(qint64 from, quint64 playId);
    // Cuts the sound at once; returns the position reached.
    qint64 stop();
    void close();

    // Microseconds from the last play() to the moment its first buffer had
    // been handed over; for the benchmark.
    qint64 lastStartUSecs() const { return startUSecs; }
    // What the server granted the last stream: its buffer and the sink's
    // latency, in microseconds; for the benchmark.
    qint64 bufferUSecs() const { return grantedBufferUSecs; }
    qint64 sinkLatencyUSecs() const { return lastSinkUSecs; }

signals:
    // Playback `playId` ended at `position`: the sound's size when its last
    // sample has been played, less when the stream failed on the way.
    void ended(quint64 playId, qint64 position);

private:
    bool connectServer(QString& error);
    void disconnectServer();
    void prepareStream();
    bool waitReady(QString& error);
    void dropStream();
    void feed();
    // Bytes of this playback the server reports played, or -1 when it has
    // not reported yet. Call with the main loop locked.
    qint64 playedBytes();
    void requestTiming();
    void finish(qint64 position);
    QString serverError() const;

    pa_threaded_mainloop* mainloop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    pa_operation* timing = nullptr;
    QElapsedTimer sinceTiming;

    std::shared_ptr<const DecodedSound> sound;
    QTimer* poll; // a child, so that it moves to the output thread too
    QElapsedTimer sinceProgress;
    QByteArray scratch;

    bool realtimeAsked = false;
    bool playing = false;
    quint64 currentPlay = 0;
    qint64 from = 0;           // sound byte where this playback started
    qint64 soundWritten = 0;   // sound bytes written since then
    qint64 silenceWritten = 0; // silence bytes written after the sound
    qint64 lastPlayed = 0;     // stream bytes played at the last check
    qint64 startUSecs = 0;
    qint64 grantedBufferUSecs = 0;
    qint64 lastSinkUSecs = 0;
};
