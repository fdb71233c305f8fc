#pragma once

#include <QAudioFormat>
#include <QByteArray>

// No sound is played or measured beyond this: the longest chip holds 16
// minutes, and the margin covers a file a little longer than its chip. It
// bounds what a huge or endless file can cost in time and memory.
constexpr int MaxSoundSeconds = 20 * 60;

// A sound decoded ahead into 16-bit PCM, ready to hand to the sound output
// without any work left at play time.
struct PcmClip {
    QAudioFormat format;
    QByteArray data;

    bool isEmpty() const { return data.isEmpty(); }
    qint64 frames() const {
        const int frameBytes = format.bytesPerFrame();
        return frameBytes > 0 ? data.size() / frameBytes : 0;
    }
    // Length in microseconds.
    qint64 durationUSecs() const {
        return format.sampleRate() > 0 ? frames() * 1000000 / format.sampleRate() : 0;
    }
};
