#include "testsounds.h"

#include <QFile>
#include <QtEndian>
#include <cmath>
#include <cstring>
#include <sndfile.h>
#include <vector>

namespace TestSounds {

bool writeToneWav(const QString& path, int sampleRate, int channels, double seconds, int subformat,
                  double frequency) {
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | subformat;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (file == nullptr)
        return false;
    const auto frames = static_cast<sf_count_t>(std::lround(seconds * sampleRate));
    std::vector<float> samples(static_cast<size_t>(frames * channels));
    const double pi = std::acos(-1.0);
    for (sf_count_t f = 0; f < frames; ++f) {
        const auto value = static_cast<float>(0.5 * std::sin(2 * pi * frequency * f / sampleRate));
        for (int c = 0; c < channels; ++c)
            samples[static_cast<size_t>(f * channels + c)] = value;
    }
    const sf_count_t written = sf_writef_float(file, samples.data(), frames);
    sf_close(file);
    return written == frames;
}

namespace {

QByteArray variableLength(quint32 value) {
    QByteArray bytes(1, static_cast<char>(value & 0x7F));
    while ((value >>= 7) != 0)
        bytes.prepend(static_cast<char>(0x80 | (value & 0x7F)));
    return bytes;
}

QByteArray bigEndian32(quint32 value) {
    QByteArray bytes(4, 0);
    qToBigEndian(value, bytes.data());
    return bytes;
}

} // namespace

QByteArray midiNote(int noteTicks, int restTicks) {
    QByteArray track;
    track += QByteArray::fromHex("00FF510307A120"); // tempo: 500000 us a beat
    track += QByteArray::fromHex("00C000");         // program 0: piano
    track += QByteArray::fromHex("00903C64");       // C4 on
    track += variableLength(static_cast<quint32>(noteTicks)) + QByteArray::fromHex("803C40");
    track += variableLength(static_cast<quint32>(restTicks)) + QByteArray::fromHex("FF2F00");

    QByteArray file = "MThd" + QByteArray::fromHex("00000006"
                                                   "0000"
                                                   "0001"
                                                   "01E0");
    file += "MTrk" + bigEndian32(static_cast<quint32>(track.size())) + track;
    return file;
}

QByteArray wavHeader(int sampleRate, int channels, quint32 dataBytes) {
    QByteArray header(44, 0);
    char* h = header.data();
    const auto le32 = [](char* at, quint32 value) { qToLittleEndian(value, at); };
    const auto le16 = [](char* at, quint16 value) { qToLittleEndian(value, at); };
    std::memcpy(h, "RIFF", 4);
    le32(h + 4, 36 + dataBytes);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    le32(h + 16, 16);
    le16(h + 20, 1); // PCM
    le16(h + 22, static_cast<quint16>(channels));
    le32(h + 24, static_cast<quint32>(sampleRate));
    le32(h + 28, static_cast<quint32>(sampleRate * channels * 2));
    le16(h + 32, static_cast<quint16>(channels * 2));
    le16(h + 34, 16);
    std::memcpy(h + 36, "data", 4);
    le32(h + 40, dataBytes);
    return header;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace TestSounds
