#include "decodedsound.h"

#include <algorithm>
#include <chrono>
#include <cstring>

DecodedSound::DecodedSound(const QAudioFormat& format) : pcmFormat(format) {
    const int frameBytes = std::max(1, format.bytesPerFrame());
    blockBytes = qint64(std::max(1, format.sampleRate())) * frameBytes;
    limit = blockBytes * MaxSoundSeconds;
    blocks.resize(static_cast<size_t>(MaxSoundSeconds));
}

bool DecodedSound::append(const char* data, qint64 bytes) {
    qint64 at = filled.load(std::memory_order_relaxed);
    const qint64 take = std::min(bytes, limit - at);
    qint64 done = 0;
    while (done < take) {
        const auto index = static_cast<size_t>(at / blockBytes);
        const qint64 offset = at % blockBytes;
        if (!blocks[index])
            blocks[index].reset(new char[static_cast<size_t>(blockBytes)]);
        const qint64 chunk = std::min(take - done, blockBytes - offset);
        std::memcpy(blocks[index].get() + offset, data + done, static_cast<size_t>(chunk));
        done += chunk;
        at += chunk;
    }
    // Published only now: the reader never sees bytes before they are there.
    filled.store(at, std::memory_order_release);
    return take == bytes && at < limit;
}

void DecodedSound::finish(const QString& failure) {
    {
        std::lock_guard<std::mutex> guard(lock);
        failureText = failure;
        complete.store(true, std::memory_order_release);
    }
    finished.notify_all();
}

qint64 DecodedSound::read(qint64 at, char* out, qint64 bytes) const {
    const qint64 end = std::min(available(), at + bytes);
    qint64 done = 0;
    while (at + done < end) {
        const qint64 position = at + done;
        const auto index = static_cast<size_t>(position / blockBytes);
        const qint64 offset = position % blockBytes;
        const qint64 chunk = std::min(end - position, blockBytes - offset);
        std::memcpy(out + done, blocks[index].get() + offset, static_cast<size_t>(chunk));
        done += chunk;
    }
    return done;
}

bool DecodedSound::waitComplete(int timeoutMs) const {
    std::unique_lock<std::mutex> guard(lock);
    return finished.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                             [this] { return complete.load(std::memory_order_acquire); });
}

QString DecodedSound::failure() const {
    std::lock_guard<std::mutex> guard(lock);
    return failureText;
}

PcmClip DecodedSound::toClip() const {
    while (!waitComplete(1000)) {
    }
    PcmClip clip;
    clip.format = pcmFormat;
    clip.data.resize(static_cast<qsizetype>(available()));
    read(0, clip.data.data(), clip.data.size());
    return clip;
}

void DecodedSound::setExpectedFrames(qint64 frames) {
    expectedBytes =
        frames < 0 ? -1 : std::min(limit, frames * std::max(1, pcmFormat.bytesPerFrame()));
}

qint64 DecodedSound::durationUSecs() const {
    const qint64 bytes = !isComplete() && expectedBytes >= 0 ? expectedBytes : available();
    const qint64 perSecond =
        qint64(pcmFormat.sampleRate()) * std::max(1, pcmFormat.bytesPerFrame());
    return perSecond > 0 ? bytes * 1000000 / perSecond : 0;
}
