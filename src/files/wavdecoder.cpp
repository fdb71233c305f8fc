#include "wavdecoder.h"

#include "core/apperror.h"
#include "decodedsound.h"
#include "soundfile.h"

#include <QFile>
#include <algorithm>
#include <cmath>
#include <sndfile.h>
#include <unistd.h>
#include <vector>

namespace {

// Frames read per call: large enough to keep the call count low, small enough
// to keep the scratch buffer in cache and to notice a cancel soon.
constexpr sf_count_t ChunkFrames = 4096;

} // namespace

WavDecoder::WavDecoder(const QString& path_) : path(path_) {
    QString reason;
    const int fd = SoundFile::openRegular(path, reason);
    if (fd < 0)
        throw AppError(reason);
    SF_INFO info{};
    file = SoundFile::openSound(fd, info);
    if (file == nullptr) {
        ::close(fd);
        throw AppError(QStringLiteral("Cannot read %1 as sound: %2")
                           .arg(path, QString::fromLocal8Bit(sf_strerror(nullptr))));
    }
    descriptor = fd;
    if (info.channels < 1 || info.samplerate < 1) {
        release();
        throw AppError(QStringLiteral("Cannot read %1 as sound: no sound in it").arg(path));
    }
    if (info.samplerate > MaxSampleRate) {
        release();
        throw AppError(QStringLiteral("Cannot play %1: its sample rate of %2 Hz is beyond the "
                                      "%3 Hz the sound output plays")
                           .arg(path)
                           .arg(info.samplerate)
                           .arg(MaxSampleRate));
    }
    inChannels = info.channels;
    headerFrames = info.frames;
    pcmFormat.setSampleRate(info.samplerate);
    pcmFormat.setChannelCount(std::min(inChannels, MaxChannels));
    pcmFormat.setSampleFormat(QAudioFormat::Int16);
}

WavDecoder::~WavDecoder() {
    release();
}

void WavDecoder::release() {
    sf_close(file);
    file = nullptr;
    ::close(descriptor);
    descriptor = -1;
}

bool WavDecoder::decodeSome(DecodedSound& sound, int chunks) {
    const int outChannels = pcmFormat.channelCount();
    // Read as float, which libsndfile scales to -1..1 for every encoding
    // alike, and convert here, clipping float files that go beyond full scale.
    chunk.resize(static_cast<size_t>(ChunkFrames * inChannels));
    out.resize(static_cast<size_t>(ChunkFrames * outChannels));
    for (int piece = 0; piece < chunks; ++piece) {
        const sf_count_t got =
            sound.isCancelled() ? 0 : sf_readf_float(file, chunk.data(), ChunkFrames);
        if (got <= 0) {
            finishInto(sound);
            return false;
        }
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
        // A short read is the end of the file (or a read error).
        if (!sound.append(reinterpret_cast<const char*>(out.data()), got * outChannels * 2) ||
            got < ChunkFrames) {
            finishInto(sound);
            return false;
        }
    }
    return true;
}

void WavDecoder::finishInto(DecodedSound& sound) {
    QString failure;
    if (sf_error(file) != SF_ERR_NO_ERROR)
        failure = QStringLiteral("Cannot read %1: %2")
                      .arg(path, QString::fromLocal8Bit(sf_strerror(file)));
    sound.finish(failure);
}

void WavDecoder::decodeInto(DecodedSound& sound) {
    while (decodeSome(sound, 16)) {
    }
}

PcmClip WavDecoder::decode(const QString& path) {
    WavDecoder decoder(path);
    DecodedSound sound(decoder.format());
    decoder.decodeInto(sound);
    if (sound.available() == 0 && !sound.failure().isEmpty())
        throw AppError(sound.failure());
    return sound.toClip();
}
