#pragma once

#include "pcmclip.h"

#include <QString>

// Reads a whole sound file through libsndfile: any WAV flavour it knows (8 to
// 32-bit PCM, float, A-law, mu-law, IMA and MS ADPCM) and the other formats it
// reads. Raises AppError with libsndfile's reason when the file is missing,
// unreadable or of an unknown format.
class WavDecoder {
public:
    // Files with more channels are mixed down to stereo, which every sound
    // server takes without a channel map of its own.
    static constexpr int MaxChannels = 2;

    static PcmClip decode(const QString& path);
};
