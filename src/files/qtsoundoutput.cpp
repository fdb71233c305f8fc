#include "qtsoundoutput.h"

#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// Qt's output with this id, its default output for an empty id; a null device
// when there is none. On Linux Qt takes the ids from the PulseAudio sink names.
QAudioDevice findDevice(const QByteArray& id) {
    if (id.isEmpty())
        return QMediaDevices::defaultAudioOutput();
    for (const QAudioDevice& device : QMediaDevices::audioOutputs()) {
        if (device.id() == id)
            return device;
    }
    return QAudioDevice();
}

} // namespace

SoundOutput* SoundOutput::create() {
    return new QtSoundOutput;
}

QList<OutputDevices::Output> SoundOutput::outputs() {
    const QByteArray defaultId = QMediaDevices::defaultAudioOutput().id();
    QList<OutputDevices::Output> outputs;
    for (const QAudioDevice& device : QMediaDevices::audioOutputs())
        outputs.append({device.id(), device.description(), device.id() == defaultId});
    return outputs;
}

SoundOutput::Backend SoundOutput::backend() {
    return Backend::Qt;
}

QtSoundOutput::QtSoundOutput(QObject* parent) : SoundOutput(parent), poll(new QTimer(this)) {
    poll->setTimerType(Qt::PreciseTimer);
    poll->setInterval(PollMs);
    connect(poll, &QTimer::timeout, this, &QtSoundOutput::feed);
}

QtSoundOutput::~QtSoundOutput() {
    close();
}

bool QtSoundOutput::open(std::shared_ptr<const DecodedSound> sound_, const QByteArray& name,
                         QString& error) {
    close();
    if (!sound_) {
        error = QStringLiteral("No sound to play");
        return false;
    }
    device = findDevice(name);
    if (device.isNull()) {
        error = name.isEmpty() ? QStringLiteral("No sound output device") : noSuchOutputText(name);
        return false;
    }
    sound = std::move(sound_);
    scratch = QByteArray(sound->format().bytesForDuration(BufferMs * 1000), 0);
    if (!startStream(error)) {
        close();
        return false;
    }
    return true;
}

bool QtSoundOutput::startStream(QString& error) {
    if (sink == nullptr) {
        sink = new QAudioSink(device, sound->format(), this);
        sink->setBufferSize(sound->format().bytesForDuration(BufferMs * 1000));
    }
    io = sink->start();
    // Without a sound server start() neither returns a device nor emits a
    // state change; the sink just sits stopped with an error.
    if (io == nullptr || sink->state() == QAudio::StoppedState ||
        sink->error() != QAudio::NoError) {
        error = QStringLiteral("The sound output refused to open (error %1)")
                    .arg(static_cast<int>(sink->error()));
        stopStream();
        return false;
    }
    grantedBufferUSecs = sound->format().durationForBytes(int(sink->bufferSize()));
    return true;
}

void QtSoundOutput::stopStream() {
    poll->stop();
    io = nullptr;
    // reset() drops what the stream still holds, so the sound stops now
    // instead of after one more buffer. The sink itself is kept: start()
    // connects a new stream on it.
    if (sink != nullptr)
        sink->reset();
}

void QtSoundOutput::dropSink() {
    stopStream();
    // The sound system's sink runs this thread's pending events while it is
    // destroyed, so whatever runs then must already find it gone. That is
    // also why it is destroyed only here, on close, and never while a
    // playback ends or stalls.
    delete std::exchange(sink, nullptr);
}

bool QtSoundOutput::play(qint64 from_, quint64 playId) {
    if (playing)
        stop();
    if (!sound)
        return false;
    if (io == nullptr) {
        // The stream was lost (a failed playback); try once to get it back.
        QString ignored;
        if (!startStream(ignored))
            return false;
    }
    QElapsedTimer took;
    took.start();
    currentPlay = playId;
    from = std::clamp<qint64>(from_, 0, sound->available());
    from -= from % std::max(1, sound->format().bytesPerFrame());
    soundWritten = 0;
    silenceWritten = 0;
    lastPosition = from;
    playing = true;
    sinceProgress.start();
    feed();
    startUSecs = took.nsecsElapsed() / 1000;
    if (playing)
        poll->start();
    return true;
}

qint64 QtSoundOutput::queuedBytes() const {
    return std::max<qint64>(0, sink->bufferSize() - sink->bytesFree());
}

qint64 QtSoundOutput::reportedPosition() const {
    const qint64 consumed = soundWritten + silenceWritten - queuedBytes();
    return from + std::clamp<qint64>(consumed, 0, soundWritten);
}

void QtSoundOutput::feed() {
    if (!playing)
        return;
    if (sink == nullptr || io == nullptr ||
        (sink->state() == QAudio::StoppedState && sink->error() != QAudio::NoError)) {
        finish(lastPosition);
        return;
    }
    // Once the decoder has finished, what is there is all there is.
    const bool complete = sound->isComplete();
    const qint64 soundEnd = sound->available();
    qint64 room = sink->bytesFree();
    while (room > 0) {
        const qint64 chunk = std::min<qint64>(room, scratch.size());
        qint64 bytes = sound->read(from + soundWritten, scratch.data(), chunk);
        const bool isSound = bytes > 0;
        if (!isSound) {
            if (!complete)
                break; // the decoder is behind; the buffer bridges it
            // After the sound: silence, so that the stream runs on until the
            // last sample has been played.
            bytes = chunk;
            std::memset(scratch.data(), 0, static_cast<size_t>(bytes));
        }
        const qint64 wrote = io->write(scratch.constData(), bytes);
        if (wrote <= 0)
            break;
        (isSound ? soundWritten : silenceWritten) += wrote;
        room -= wrote;
        if (wrote < bytes)
            break;
    }

    const qint64 reported = reportedPosition();
    if (reported != lastPosition) {
        lastPosition = reported;
        sinceProgress.restart();
    }
    // The sound server reports consumption in steps of about 20 ms; between
    // them the sound goes on in real time, up to one step further.
    const qint64 sinceReport =
        std::min<qint64>(sinceProgress.nsecsElapsed() / 1000, ExtrapolateMs * 1000);
    const qint64 position =
        std::min(from + soundWritten, reported + sound->format().bytesForDuration(sinceReport));
    if (complete && position >= soundEnd) {
        finish(soundEnd);
        // The silence still queued must not delay a following play.
        QString ignored;
        stopStream();
        startStream(ignored);
    } else if (sinceProgress.elapsed() > StallMs) {
        finish(reported);
        stopStream();
    }
}

void QtSoundOutput::finish(qint64 position) {
    poll->stop();
    playing = false;
    lastPosition = position;
    emit ended(currentPlay, position);
}

qint64 QtSoundOutput::stop() {
    if (!playing)
        return lastPosition;
    poll->stop();
    playing = false;
    lastPosition = reportedPosition();
    lastPosition -= lastPosition % std::max(1, sound->format().bytesPerFrame());
    QString ignored;
    stopStream();
    startStream(ignored);
    return lastPosition;
}

void QtSoundOutput::close() {
    playing = false;
    dropSink();
    sound.reset();
    scratch.clear();
}
