#pragma once

#include "pcmclip.h"

#include <QAudioFormat>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

// A sound that one thread decodes while another already plays it. The
// decoder appends 16-bit PCM, the player reads what is there; neither waits
// for the other. The samples go into blocks of one second whose places are
// reserved at the start for the longest sound played (MaxSoundSeconds), so
// appending never moves what the reader may be reading, and memory grows with
// the sound decoded (one block ahead at most), not with what the file's header
// claims.
class DecodedSound {
public:
    explicit DecodedSound(const QAudioFormat& format);
    DecodedSound(const DecodedSound&) = delete;
    DecodedSound& operator=(const DecodedSound&) = delete;

    const QAudioFormat& format() const { return pcmFormat; }
    // The most bytes this sound can hold: MaxSoundSeconds of its format.
    qint64 capacity() const { return limit; }

    // Decoder side. append() takes what fits below capacity() and returns
    // false once the sound is full; finish() marks the end (with the reason
    // when decoding failed on the way).
    bool append(const char* data, qint64 bytes);
    void finish(const QString& failure = QString());
    // Asks the decoder to stop; it checks between blocks.
    void cancel() { cancelled.store(true, std::memory_order_relaxed); }
    bool isCancelled() const { return cancelled.load(std::memory_order_relaxed); }

    // Reader side, from any thread.
    qint64 available() const { return filled.load(std::memory_order_acquire); }
    bool isComplete() const { return complete.load(std::memory_order_acquire); }
    // Copies up to `bytes` from byte `at`; returns how many were there.
    qint64 read(qint64 at, char* out, qint64 bytes) const;
    // Waits until the decoder has finished, or `timeoutMs` has passed.
    bool waitComplete(int timeoutMs) const;
    // Why decoding stopped early, empty when the sound is whole.
    QString failure() const;
    // The length in microseconds: exact once decoded, until then what the
    // file's header announced (setExpectedFrames), or what is decoded so far.
    void setExpectedFrames(qint64 frames);
    qint64 durationUSecs() const;

    // The whole sound as one clip (waits for the decoder); for tools and tests.
    PcmClip toClip() const;

private:
    QAudioFormat pcmFormat;
    qint64 blockBytes = 0;
    qint64 limit = 0;
    qint64 expectedBytes = -1;
    std::vector<std::unique_ptr<char[]>> blocks; // sized once, never moved
    std::atomic<qint64> filled{0};
    std::atomic<bool> complete{false};
    std::atomic<bool> cancelled{false};
    mutable std::mutex lock; // for the failure text and the waiters
    mutable std::condition_variable finished;
    QString failureText;
};
