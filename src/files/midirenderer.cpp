#include "midirenderer.h"

#include "core/apperror.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QtEndian>
#include <fluidsynth.h>
#include <mutex>

namespace {

// Frames rendered per call; FluidSynth works in blocks of 64 anyway.
constexpr int BlockFrames = 512;
// FluidSynth's default gain of 0.2 leaves a single note some 30 dB below full
// scale, far quieter than a WAV recording; this keeps headroom for a dozen
// loud voices at once.
constexpr double Gain = 0.8;
// After the last event, a block that stays below -60 dB of full scale ends the
// sound: a dying voice can linger far below hearing for a second before
// FluidSynth drops it, and the chip would only record it as noise.
constexpr int SilenceLevel = 32;

bool isSilent(const char* block, int samples) {
    const auto* values = reinterpret_cast<const qint16*>(block);
    for (int i = 0; i < samples; ++i) {
        if (values[i] > SilenceLevel || values[i] < -SilenceLevel)
            return false;
    }
    return true;
}

// FluidSynth writes its complaints to the terminal; the program reports its
// own errors, so they are kept for the message instead.
thread_local QString lastFluidError;

void keepFluidMessage(int level, const char* message, void*) {
    if (level <= FLUID_ERR)
        lastFluidError = QString::fromLocal8Bit(message);
}

void quietFluidSynth() {
    static std::once_flag once;
    std::call_once(once, [] {
        fluid_set_log_function(FLUID_PANIC, keepFluidMessage, nullptr);
        fluid_set_log_function(FLUID_ERR, keepFluidMessage, nullptr);
        fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
        fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
        fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
    });
}

// An RMID file is a standard MIDI file wrapped in a RIFF "data" chunk.
QByteArray unwrapRiffMidi(const QByteArray& bytes) {
    if (!bytes.startsWith("RIFF") || bytes.mid(8, 4) != "RMID")
        return bytes;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        if (bytes.mid(at, 4) == "data")
            return bytes.mid(at + 8, static_cast<qsizetype>(size));
        at += 8 + static_cast<qsizetype>(size) + (size & 1);
    }
    return QByteArray();
}

struct FluidPlayerDeleter {
    void operator()(fluid_player_t* player) const {
        fluid_player_stop(player);
        delete_fluid_player(player);
    }
};

} // namespace

MidiRenderer::MidiRenderer(const QString& soundFont) : fontPath(soundFont) {
    quietFluidSynth();
}

MidiRenderer::~MidiRenderer() {
    unloadSynth();
}

QString MidiRenderer::defaultSoundFont() {
    const QStringList candidates = {
        QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2"),
        QStringLiteral("/usr/share/sounds/sf2/default-GM.sf2"),
        QStringLiteral("/usr/share/sounds/sf2/FluidR3_GM.sf2"),
        QStringLiteral("/usr/share/soundfonts/default.sf2"),
    };
    for (const QString& path : candidates) {
        if (QFileInfo::exists(path))
            return path;
    }
    return candidates.first();
}

bool MidiRenderer::looksLikeMidi(const QByteArray& head) {
    return head.startsWith("MThd") || (head.startsWith("RIFF") && head.mid(8, 4) == "RMID");
}

void MidiRenderer::setSoundFont(const QString& path) {
    if (path == fontPath)
        return;
    unloadSynth();
    fontPath = path;
}

void MidiRenderer::loadSynth() {
    if (synth != nullptr)
        return;
    settings = new_fluid_settings();
    fluid_settings_setnum(settings, "synth.sample-rate", SampleRate);
    fluid_settings_setnum(settings, "synth.gain", Gain);
    fluid_settings_setint(settings, "synth.reverb.active", 0);
    fluid_settings_setint(settings, "synth.chorus.active", 0);
    // Rendering happens on one thread only; FluidSynth's locks are not needed.
    fluid_settings_setint(settings, "synth.threadsafe-api", 0);
    synth = new_fluid_synth(settings);
    lastFluidError.clear();
    if (synth == nullptr ||
        fluid_synth_sfload(synth, QFile::encodeName(fontPath).constData(), 1) == FLUID_FAILED) {
        const QString reason = lastFluidError;
        unloadSynth();
        throw AppError(QStringLiteral("Cannot load the SoundFont %1: %2").arg(fontPath, reason));
    }
}

void MidiRenderer::unloadSynth() {
    if (synth != nullptr)
        delete_fluid_synth(synth);
    if (settings != nullptr)
        delete_fluid_settings(settings);
    synth = nullptr;
    settings = nullptr;
}

PcmClip MidiRenderer::renderFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Cannot open %1: %2").arg(path, file.errorString()));
    return render(file.readAll());
}

PcmClip MidiRenderer::render(const QByteArray& bytes) {
    const QByteArray midi = unwrapRiffMidi(bytes);
    if (!midi.startsWith("MThd"))
        throw AppError(QStringLiteral("Not a MIDI file"));
    loadSynth();
    fluid_synth_system_reset(synth);

    std::unique_ptr<fluid_player_t, FluidPlayerDeleter> player(new_fluid_player(synth));
    if (!player ||
        fluid_player_add_mem(player.get(), midi.constData(), static_cast<size_t>(midi.size())) !=
            FLUID_OK ||
        fluid_player_play(player.get()) != FLUID_OK)
        throw AppError(QStringLiteral("Not a MIDI file"));

    PcmClip clip;
    clip.format.setSampleRate(SampleRate);
    clip.format.setChannelCount(Channels);
    clip.format.setSampleFormat(QAudioFormat::Int16);

    const qsizetype blockBytes = BlockFrames * Channels * 2;
    const qint64 maxFrames = qint64(MaxSeconds) * SampleRate;
    const qint64 maxTailFrames = qint64(MaxTailSeconds) * SampleRate;
    qint64 frames = 0;
    qint64 tailFrames = 0;
    for (;;) {
        const qsizetype at = clip.data.size();
        clip.data.resize(at + blockBytes);
        void* out = clip.data.data() + at;
        fluid_synth_write_s16(synth, BlockFrames, out, 0, Channels, out, 1, Channels);
        frames += BlockFrames;

        // The player reads the file inside the first block, so the tick count
        // is known from here on; a file it cannot read leaves it at zero.
        const int total = fluid_player_get_total_ticks(player.get());
        const bool lastTickPassed =
            total > 0 && fluid_player_get_current_tick(player.get()) >= total;
        const bool done = fluid_player_get_status(player.get()) == FLUID_PLAYER_DONE;
        if (done && total <= 0)
            throw AppError(QStringLiteral("Not a MIDI file FluidSynth can read"));
        if (lastTickPassed || done) {
            if (fluid_synth_get_active_voice_count(synth) == 0 ||
                isSilent(clip.data.constData() + at, BlockFrames * Channels))
                break;
            tailFrames += BlockFrames;
            if (tailFrames >= maxTailFrames)
                break;
        }
        if (frames >= maxFrames)
            break;
    }
    fluid_synth_system_reset(synth);
    return clip;
}
