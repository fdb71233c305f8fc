#include "wavdecoder.h"

#include "core/apperror.h"

#include <QFile>
#include <algorithm>
#include <cmath>
#include <memory>
#include <sndfile.h>
#include <vector>

namespace {

struct SndFileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndFilePtr = std::unique_ptr<SNDFILE, SndFileCloser>;

// Frames read per call: large enough to keep the call count low, small enough
// to keep the scratch buffer in cache.
constexpr sf_count_t ChunkFrames = 4096;

} // namespace

PcmClip WavDecoder::decode(const QString& path) {
    SF_INFO info{};
    SndFilePtr file(sf_open(QFile::encodeName(path).constData(), SFM_READ, &info));
    if (!file)
        throw AppError(QStringLiteral("Cannot open %1: %2")
                           .arg(path, QString::fromLocal8Bit(sf_strerror(nullptr))));
    if (info.channels < 1 || info.samplerate < 1)
        throw AppError(QStringLiteral("Cannot open %1: no sound in it").arg(path));

    const int inChannels = info.channels;
    const int outChannels = std::min(inChannels, MaxChannels);

    PcmClip clip;
    clip.format.setSampleRate(info.samplerate);
    clip.format.setChannelCount(outChannels);
    clip.format.setSampleFormat(QAudioFormat::Int16);
    if (info.frames > 0 && info.frames < (qint64(1) << 31) / (outChannels * 2))
        clip.data.reserve(static_cast<qsizetype>(info.frames * outChannels * 2));

    // Read as float, which libsndfile scales to -1..1 for every encoding
    // alike, and convert here, clipping float files that go beyond full scale.
    std::vector<float> chunk(static_cast<size_t>(ChunkFrames * inChannels));
    std::vector<qint16> out(static_cast<size_t>(ChunkFrames * outChannels));
    for (;;) {
        const sf_count_t got = sf_readf_float(file.get(), chunk.data(), ChunkFrames);
        if (got <= 0)
            break;
        for (sf_count_t f = 0; f < got; ++f) {
            // Channel c of the output takes the average of input channels c,
            // c + 2, c + 4, ...: left ones to the left, right ones to the right.
            for (int c = 0; c < outChannels; ++c) {
                float sum = 0;
                int count = 0;
                for (int in = c; in < inChannels; in += outChannels, ++count)
                    sum += chunk[static_cast<size_t>(f * inChannels + in)];
                const float value = std::clamp(sum / count * 32767.0f, -32768.0f, 32767.0f);
                out[static_cast<size_t>(f * outChannels + c)] =
                    static_cast<qint16>(std::lrint(value));
            }
        }
        clip.data.append(reinterpret_cast<const char*>(out.data()),
                         static_cast<qsizetype>(got * outChannels * 2));
    }
    if (sf_error(file.get()) != SF_ERR_NO_ERROR && clip.data.isEmpty())
        throw AppError(QStringLiteral("Cannot read %1: %2")
                           .arg(path, QString::fromLocal8Bit(sf_strerror(file.get()))));
    return clip;
}
