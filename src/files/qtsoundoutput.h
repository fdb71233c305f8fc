#pragma once

#include "soundoutput.h"

#include <QAudioDevice>
#include <QElapsedTimer>
#include <QTimer>

class QAudioSink;
class QIODevice;

// The sound output through Qt's QAudioSink, for builds without libpulse
// (Windows, macOS, a Linux without it).
//
// The stream is connected when a sound is opened, not when it is played:
// connecting takes several milliseconds, writing the first buffer does not.
//
// QAudioSink goes idle when its source runs dry, one buffer before the last
// sample is heard. So the stream is kept fed with silence after the sound, and
// the played position is worked out as what was written minus what the stream
// still holds, carried on in real time between the sink's reports of it; the
// sound has ended when that position passes its last byte. QAudioSink does not
// tell what the sound server has really played, so the end can be off by up
// to a step of those reports.
class QtSoundOutput : public SoundOutput {
    Q_OBJECT
public:
    // How far the stream is filled ahead: enough to ride out a busy
    // machine, while the end is found from the position, not the buffer.
    static constexpr int BufferMs = 100;
    // How far the position is carried on in real time past the stream's last
    // report of it.
    static constexpr int ExtrapolateMs = 25;

    explicit QtSoundOutput(QObject* parent = nullptr);
    ~QtSoundOutput() override;

    bool open(std::shared_ptr<const DecodedSound> sound, const QByteArray& device,
              QString& error) override;
    bool play(qint64 from, quint64 playId) override;
    qint64 stop() override;
    void close() override;

private:
    bool startStream(QString& error);
    void stopStream();
    void dropSink();
    void feed();
    qint64 queuedBytes() const;
    qint64 reportedPosition() const;
    void finish(qint64 position);

    QAudioDevice device;
    std::shared_ptr<const DecodedSound> sound;
    QAudioSink* sink = nullptr;
    QIODevice* io = nullptr;
    QTimer* poll; // a child, so that it moves to the output thread too
    QElapsedTimer sinceProgress;
    QByteArray scratch;

    bool playing = false;
    quint64 currentPlay = 0;
    qint64 from = 0;           // sound byte where this playback started
    qint64 soundWritten = 0;   // sound bytes written since then
    qint64 silenceWritten = 0; // silence bytes written after the sound
    qint64 lastPosition = 0;
};
