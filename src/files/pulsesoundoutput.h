#pragma once

#include "soundoutput.h"

#include <QElapsedTimer>
#include <QTimer>

struct pa_context;
struct pa_operation;
struct pa_stream;
struct pa_threaded_mainloop;

// The sound output on the sound server itself (PulseAudio, or PipeWire
// through its PulseAudio service), through libpulse.
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
class PulseSoundOutput : public SoundOutput {
    Q_OBJECT
public:
    // The stream asks the server to run its sink at a small latency, and
    // keeps more queued with the server than that: the end is taken from the
    // played position, so the queue only has to ride out a busy machine
    // (queues of 15 and 30 ms, with the sink at half of them, ran dry now and
    // then at a load of 7 to 12 on two cores, which stretches the sound).
    static constexpr int SinkLatencyMs = 10;
    static constexpr int QueueMs = 100;
    // How often, while playing, the server is asked for a fresh position,
    // and how far the position is carried on past its last report.
    static constexpr int TimingMs = 10;
    static constexpr int ExtrapolateMs = 20;
    // The longest wait for the server to accept a connection or a stream.
    static constexpr int ConnectMs = 5000;
    // The real-time priority the feeding threads ask for, where the system
    // grants it: below PulseAudio's (5) and PipeWire's (88) own threads.
    static constexpr int RealtimePriority = 3;

    explicit PulseSoundOutput(QObject* parent = nullptr);
    ~PulseSoundOutput() override;

    bool open(std::shared_ptr<const DecodedSound> sound, const QByteArray& device,
              QString& error) override;
    bool play(qint64 from, quint64 playId) override;
    qint64 stop() override;
    void close() override;

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
    QString streamError() const;

    pa_threaded_mainloop* mainloop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    pa_operation* timing = nullptr;
    QElapsedTimer sinceTiming;

    std::shared_ptr<const DecodedSound> sound;
    QByteArray sink; // the server's name for the output; empty: its default
    QTimer* poll;    // a child, so that it moves to the output thread too
    QElapsedTimer sinceProgress;
    QByteArray scratch;

    bool realtimeAsked = false;
    bool playing = false;
    quint64 currentPlay = 0;
    qint64 from = 0;           // sound byte where this playback started
    qint64 soundWritten = 0;   // sound bytes written since then
    qint64 silenceWritten = 0; // silence bytes written after the sound
    qint64 lastPlayed = 0;     // stream bytes played at the last check
};
