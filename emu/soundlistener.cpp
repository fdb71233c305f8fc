#include "soundlistener.h"

#include <cmath>
#include <pulse/error.h>
#include <pulse/simple.h>
#include <vector>

SoundListener::SoundListener(std::function<double()> nowMs_) : nowMs(std::move(nowMs_)) {}

SoundListener::~SoundListener() {
    stop();
}

bool SoundListener::start(const QString& source, QString& error) {
    stop();
    pa_sample_spec sampleFormat{};
    sampleFormat.format = PA_SAMPLE_S16LE;
    sampleFormat.rate = Rate;
    sampleFormat.channels = 1;
    // Small fragments: each block reaches us as soon as it is captured, so
    // its time stamp is close to when it sounded.
    pa_buffer_attr attr{};
    attr.maxlength = uint32_t(-1);
    attr.fragsize = uint32_t(Rate * BlockMs / 1000 * 2);
    int code = 0;
    const QByteArray name = source.toUtf8();
    pa_simple* stream =
        pa_simple_new(nullptr, "vokar-emu", PA_STREAM_RECORD, name.constData(),
                      "programmer's audio input", &sampleFormat, nullptr, &attr, &code);
    if (stream == nullptr) {
        error = QStringLiteral("cannot listen to %1: %2")
                    .arg(source, QString::fromUtf8(pa_strerror(code)));
        return false;
    }
    stopping = false;
    thread = std::thread([this, stream] { listen(stream); });
    return true;
}

void SoundListener::stop() {
    stopping = true;
    if (thread.joinable())
        thread.join();
}

void SoundListener::listen(void* handle) {
    auto* stream = static_cast<pa_simple*>(handle);
    const int samples = Rate * BlockMs / 1000;
    std::vector<qint16> buffer(size_t(samples), 0);
    while (!stopping) {
        int code = 0;
        if (pa_simple_read(stream, buffer.data(), buffer.size() * sizeof(qint16), &code) < 0)
            break;
        // The block's last sample was captured as long ago as the source
        // still holds.
        const pa_usec_t latency = pa_simple_get_latency(stream, &code);
        const double endMs = nowMs() - (latency == pa_usec_t(-1) ? 0.0 : double(latency) / 1000.0);
        double sum = 0;
        for (qint16 s : buffer)
            sum += double(s) * double(s);
        std::lock_guard<std::mutex> guard(lock);
        blocks.push_back({endMs - BlockMs, endMs, sum, samples});
        heardUntil = endMs;
        while (!blocks.empty() && blocks.front().toMs < endMs - KeepMs)
            blocks.pop_front();
    }
    pa_simple_free(stream);
}

std::optional<float> SoundListener::levelDb(double fromMs, double toMs) const {
    std::lock_guard<std::mutex> guard(lock);
    double sum = 0;
    double weight = 0;
    for (const Block& block : blocks) {
        // Each block counts by how much of it lies in the span.
        const double overlap = std::min(block.toMs, toMs) - std::max(block.fromMs, fromMs);
        if (overlap <= 0)
            continue;
        const double share = overlap / (block.toMs - block.fromMs);
        sum += block.sumSquares * share;
        weight += block.samples * share;
    }
    if (weight <= 0)
        return std::nullopt;
    const double rms = std::sqrt(sum / weight) / 32768.0;
    if (rms <= 0)
        return -99.0f;
    return float(std::max(-99.0, 20.0 * std::log10(rms)));
}

double SoundListener::heardUntilMs() const {
    std::lock_guard<std::mutex> guard(lock);
    return heardUntil;
}
