#pragma once

#include "pcmclip.h"

#include <QAudioDevice>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class QAudioSink;
class QIODevice;

// Hands one decoded clip to the sound system through a QAudioSink and tells
// when its last sample has been played. It lives on a thread of its own, so
// that a busy user interface can never starve the stream, and is driven from
// the player with blocking calls.
//
// The stream is connected when a clip is opened, not when it is played:
// connecting takes several milliseconds, writing the first buffer does not.
//
// QAudioSink goes idle when its source runs dry, one buffer before the last
// sample is heard. So the stream is kept fed with silence after the clip, and
// the played position is worked out as what was written minus what the stream
// still holds; the clip has ended when that position passes its last byte.
class SoundOutput : public QObject {
    Q_OBJECT
public:
    // How far the stream is filled ahead: enough to ride out a busy
    // machine, while the end is found from the position, not the buffer.
    static constexpr int BufferMs = 100;
    // How often the stream is topped up and the position checked; also the
    // granularity of the end report.
    static constexpr int PollMs = 2;
    // A stream whose position does not move for this long has stalled (the
    // sound server went away); the playback then ends.
    static constexpr int StallMs = 3000;
    // How far the position is carried on in real time past the stream's last
    // report of it.
    static constexpr int ExtrapolateMs = 25;

    explicit SoundOutput(QObject* parent = nullptr);
    ~SoundOutput() override;

    // Connects a stream in the clip's format on the device. False, with the
    // reason, when the sound system refuses it.
    bool open(const QAudioDevice& device, const PcmClip& clip, QString& error);
    // Starts playing from byte `from` of the clip; the first buffer has been
    // handed to the sound system when this returns. False when the stream
    // cannot play (then no `ended` follows).
    bool play(qint64 from, quint64 playId);
    // Cuts the sound at once; returns the position reached.
    qint64 stop();
    void close();

    // Microseconds from the last play() to the moment its first buffer had
    // been handed over; for the benchmark.
    qint64 lastStartUSecs() const { return startUSecs; }

signals:
    // Playback `playId` ended at `position`: the clip's size when its last
    // sample has been played, less when the stream failed on the way.
    void ended(quint64 playId, qint64 position);

private:
    bool startStream(QString& error);
    void stopStream();
    void dropSink();
    void feed();
    qint64 queuedBytes() const;
    void finish(qint64 position);

    QAudioDevice device;
    PcmClip clip;
    QAudioSink* sink = nullptr;
    QIODevice* io = nullptr;
    QTimer* poll; // a child, so that it moves to the output thread too
    QElapsedTimer sinceProgress;

    bool playing = false;
    quint64 currentPlay = 0;
    qint64 from = 0;           // clip byte where this playback started
    qint64 clipWritten = 0;    // clip bytes written since then
    qint64 silenceWritten = 0; // silence bytes written after the clip
    qint64 lastPosition = 0;
    qint64 startUSecs = 0;
    QByteArray silence;
};
