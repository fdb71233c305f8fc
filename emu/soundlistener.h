#pragma once

#include <QString>
#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

// The stand-in's ear: the audio input of a programmer, taken from a
// PulseAudio source (a null sink's monitor in the tests, so that a test can
// tell which sound reached which stand-in). A thread reads the source in
// blocks of BlockMs and keeps how loud each block was, stamped with the
// moment it was captured on the owner's clock.
class SoundListener {
public:
    static constexpr int Rate = 8000;
    static constexpr int BlockMs = 10;
    // What is kept: enough for the rows of any recording in progress.
    static constexpr int KeepMs = 120 * 1000;

    // `nowMs` the owner's clock; it is read on the listening thread.
    explicit SoundListener(std::function<double()> nowMs);
    ~SoundListener();
    SoundListener(const SoundListener&) = delete;
    SoundListener& operator=(const SoundListener&) = delete;

    // Connects to the source and starts listening. False, with the reason,
    // when the sound server or the source cannot be had.
    bool start(const QString& source, QString& error);
    void stop();

    // How loud the input was from `fromMs` to `toMs` (the owner's clock): the
    // RMS level in dB below full scale of the blocks captured in that span,
    // -99 for digital silence. Nothing when no block of the span has been
    // captured yet.
    std::optional<float> levelDb(double fromMs, double toMs) const;
    // Everything captured up to here on the owner's clock.
    double heardUntilMs() const;

private:
    struct Block {
        double fromMs;
        double toMs;
        double sumSquares;
        int samples;
    };
    void listen(void* stream);

    std::function<double()> nowMs;
    std::thread thread;
    std::atomic<bool> stopping{false};
    mutable std::mutex lock;
    std::deque<Block> blocks;
    double heardUntil = -1;
};
