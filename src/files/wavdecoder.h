#pragma once

#include "pcmclip.h"

#include <QAudioFormat>
#include <QString>
#include <vector>

class DecodedSound;
struct sf_private_tag;

// Reads a sound file through libsndfile: any WAV flavour it knows (8 to
// 32-bit PCM, float, A-law, mu-law, IMA and MS ADPCM) and the other formats it
// reads, converted to 16-bit PCM. Opening reads only the header; decoding
// then goes on in pieces, on whatever thread calls decodeInto().
class WavDecoder {
public:
    // Files with more channels are mixed down to stereo, which every sound
    // server takes without a channel map of its own.
    static constexpr int MaxChannels = 2;
    // The highest sample rate the sound servers play (PulseAudio's limit;
    // PipeWire's is the same).
    static constexpr int MaxSampleRate = 384000;

    // Raises AppError with the reason when the file is missing, not a
    // regular file, unreadable, of an unknown format, or at a rate the sound
    // output cannot play.
    explicit WavDecoder(const QString& path);
    ~WavDecoder();
    WavDecoder(const WavDecoder&) = delete;
    WavDecoder& operator=(const WavDecoder&) = delete;

    // The 16-bit format the file decodes to.
    QAudioFormat format() const { return pcmFormat; }
    // Frames the header announces.
    qint64 frames() const { return headerFrames; }

    // Decodes the next `chunks` pieces of 4096 frames into `sound`; returns
    // false, having finished `sound`, at the end of the file, when `sound` is
    // full (MaxSoundSeconds) or when it has been cancelled.
    bool decodeSome(DecodedSound& sound, int chunks);
    // Decodes the rest of the file.
    void decodeInto(DecodedSound& sound);

    // The whole file (up to MaxSoundSeconds) as one clip.
    static PcmClip decode(const QString& path);

private:
    void finishInto(DecodedSound& sound);
    // Closes the file and its descriptor.
    void release();

    QString path;
    sf_private_tag* file = nullptr;
    int descriptor = -1;
    int inChannels = 0;
    qint64 headerFrames = 0;
    QAudioFormat pcmFormat;
    std::vector<float> chunk;
    std::vector<qint16> out;
};
