#include "soundoutput.h"

#include <QAudioSink>
#include <QIODevice>
#include <algorithm>
#include <utility>

SoundOutput::SoundOutput(QObject* parent) : QObject(parent), poll(new QTimer(this)) {
    poll->setTimerType(Qt::PreciseTimer);
    poll->setInterval(PollMs);
    connect(poll, &QTimer::timeout, this, &SoundOutput::feed);
}

SoundOutput::~SoundOutput() {
    close();
}

bool SoundOutput::open(const QAudioDevice& device_, const PcmClip& clip_, QString& error) {
    close();
    if (device_.isNull()) {
        error = QStringLiteral("No sound output device");
        return false;
    }
    device = device_;
    clip = clip_;
    silence = QByteArray(clip.format.bytesForDuration(BufferMs * 1000), 0);
    if (!startStream(error)) {
        close();
        return false;
    }
    return true;
}

bool SoundOutput::startStream(QString& error) {
    if (sink == nullptr) {
        sink = new QAudioSink(device, clip.format, this);
        sink->setBufferSize(clip.format.bytesForDuration(BufferMs * 1000));
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
    return true;
}

void SoundOutput::stopStream() {
    poll->stop();
    io = nullptr;
    // reset() drops what the stream still holds, so the sound stops now
    // instead of after one more buffer. The sink itself is kept: start()
    // connects a new stream on it.
    if (sink != nullptr)
        sink->reset();
}

void SoundOutput::dropSink() {
    stopStream();
    // The sound system's sink runs this thread's pending events while it is
    // destroyed, so whatever runs then must already find it gone. That is
    // also why it is destroyed only here, on close, and never while a
    // playback ends or stalls.
    delete std::exchange(sink, nullptr);
}

bool SoundOutput::play(qint64 from_, quint64 playId) {
    if (playing)
        stop();
    if (io == nullptr) {
        // The stream was lost (a failed playback); try once to get it back.
        QString ignored;
        if (device.isNull() || !startStream(ignored))
            return false;
    }
    QElapsedTimer took;
    took.start();
    currentPlay = playId;
    from = std::clamp<qint64>(from_, 0, clip.data.size());
    from -= from % std::max(1, clip.format.bytesPerFrame());
    clipWritten = 0;
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

qint64 SoundOutput::queuedBytes() const {
    return std::max<qint64>(0, sink->bufferSize() - sink->bytesFree());
}

void SoundOutput::feed() {
    if (!playing)
        return;
    if (sink == nullptr || io == nullptr ||
        (sink->state() == QAudio::StoppedState && sink->error() != QAudio::NoError)) {
        finish(lastPosition);
        return;
    }
    qint64 room = sink->bytesFree();
    const qint64 clipEnd = clip.data.size();
    while (room > 0) {
        const qint64 left = clipEnd - from - clipWritten;
        qint64 wrote = 0;
        if (left > 0) {
            wrote = io->write(clip.data.constData() + from + clipWritten, std::min(room, left));
            if (wrote > 0)
                clipWritten += wrote;
        } else {
            wrote = io->write(silence.constData(), std::min<qint64>(room, silence.size()));
            if (wrote > 0)
                silenceWritten += wrote;
        }
        if (wrote <= 0)
            break;
        room -= wrote;
    }

    const qint64 consumed = clipWritten + silenceWritten - queuedBytes();
    const qint64 reported = from + std::clamp<qint64>(consumed, 0, clipWritten);
    if (reported != lastPosition) {
        lastPosition = reported;
        sinceProgress.restart();
    }
    // The sound server reports consumption in steps of about 20 ms; between
    // them the sound goes on in real time, up to one step further.
    const qint64 sinceReport =
        std::min<qint64>(sinceProgress.nsecsElapsed() / 1000, ExtrapolateMs * 1000);
    const qint64 position =
        std::min(from + clipWritten, reported + clip.format.bytesForDuration(sinceReport));
    if (position >= clipEnd) {
        finish(clipEnd);
        // The silence still queued must not delay a following play.
        QString ignored;
        stopStream();
        startStream(ignored);
    } else if (sinceProgress.elapsed() > StallMs) {
        finish(reported);
        stopStream();
    }
}

void SoundOutput::finish(qint64 position) {
    poll->stop();
    playing = false;
    lastPosition = position;
    emit ended(currentPlay, position);
}

qint64 SoundOutput::stop() {
    if (!playing)
        return lastPosition;
    poll->stop();
    playing = false;
    const qint64 consumed = clipWritten + silenceWritten - queuedBytes();
    lastPosition = from + std::clamp<qint64>(consumed, 0, clipWritten);
    lastPosition -= lastPosition % std::max(1, clip.format.bytesPerFrame());
    QString ignored;
    stopStream();
    startStream(ignored);
    return lastPosition;
}

void SoundOutput::close() {
    playing = false;
    dropSink();
    clip = PcmClip();
    silence.clear();
}
