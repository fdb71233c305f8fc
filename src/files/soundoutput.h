#pragma once

#include "decodedsound.h"
#include "outputdevices.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>

// Hands one decoded sound to the sound system and tells when its last sample
// has been played. It lives on a thread of its own, so that a busy user
// interface can never starve the stream, and is driven from the player with
// blocking calls.
//
// The build has one of two: PulseSoundOutput, which talks to the sound server
// through libpulse and takes the end from the position the server reports
// played, and QtSoundOutput, which plays through a QAudioSink where libpulse is
// not to be had (VOKAR_SOUND_BACKEND in src/files/CMakeLists.txt).
class SoundOutput : public QObject {
    Q_OBJECT
public:
    // How often the stream is topped up and the position checked; also the
    // granularity of the end report.
    static constexpr int PollMs = 2;
    // A stream whose position does not move for this long has stalled (the
    // sound server went away); the playback then ends.
    static constexpr int StallMs = 3000;

    // Which output this build has: libpulse, whose end is the position the
    // sound server reports played, or QAudioSink, whose end is worked out
    // from what its buffer still holds.
    enum class Backend { PulseAudio, Qt };
    static Backend backend();
    // The output this build plays through; the caller owns it.
    static SoundOutput* create();

    // The outputs the sound system has now, the default one marked; each
    // named as open() takes it. Nothing when there is no sound server.
    static QList<OutputDevices::Output> outputs();

    using QObject::QObject;

    // Connects a stream in the sound's format on `device`, the sound
    // server's name for an output (empty: its default output). False, with
    // the reason, when there is no sound server or such output, or it
    // refuses the stream.
    virtual bool open(std::shared_ptr<const DecodedSound> sound, const QByteArray& device,
                      QString& error) = 0;
    // Starts playing from byte `from` of the sound; the first buffer has
    // been handed over when this returns. False when the stream cannot play
    // (then no `ended` follows).
    virtual bool play(qint64 from, quint64 playId) = 0;
    // Cuts the sound at once; returns the position reached.
    virtual qint64 stop() = 0;
    virtual void close() = 0;

    // Microseconds from the last play() to the moment its first buffer had
    // been handed over; for the benchmark.
    qint64 lastStartUSecs() const { return startUSecs; }
    // The stream's buffer as granted and the latency last reported (queue
    // and sink), in microseconds, where the sound system tells them; for
    // the benchmark.
    qint64 bufferUSecs() const { return grantedBufferUSecs; }
    qint64 sinkLatencyUSecs() const { return lastSinkUSecs; }

    static QString noSuchOutputText(const QByteArray& device) {
        return QStringLiteral("No sound output named %1").arg(QString::fromUtf8(device));
    }

signals:
    // Playback `playId` ended at `position`: the sound's size when its last
    // sample has been played, less when the stream failed on the way.
    void ended(quint64 playId, qint64 position);

protected:
    qint64 startUSecs = 0;
    qint64 grantedBufferUSecs = 0;
    qint64 lastSinkUSecs = 0;
};
