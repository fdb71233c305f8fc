#include "midirenderer.h"

#include "core/apperror.h"
#include "soundfile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QtEndian>
#include <fluidsynth.h>
#include <mutex>
#include <unistd.h>
#include <utility>

namespace {

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
    sound.reset();
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
    endSound();
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

QByteArray MidiRenderer::readFile(const QString& path) {
    QString reason;
    const int fd = SoundFile::openRegular(path, reason);
    if (fd < 0)
        throw AppError(reason);
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFile::AutoCloseHandle)) {
        ::close(fd);
        throw AppError(QStringLiteral("Cannot open %1: %2").arg(path, file.errorString()));
    }
    if (file.size() > MaxFileBytes)
        throw AppError(QStringLiteral("Cannot play %1: %2 bytes is too large for a MIDI file")
                           .arg(path)
                           .arg(file.size()));
    const QByteArray bytes = file.read(MaxFileBytes + 1);
    if (file.error() != QFile::NoError)
        throw AppError(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
    return bytes;
}

PcmClip MidiRenderer::renderFile(const QString& path) {
    return render(readFile(path));
}

struct MidiRenderer::Sound {
    std::unique_ptr<fluid_player_t, FluidPlayerDeleter> player;
    QByteArray midi; // FluidSynth reads it while it plays
    QByteArray firstBlock;
    qint64 frames = 0;
    qint64 tailFrames = 0;
    bool ended = false;
};

void MidiRenderer::begin(const QByteArray& bytes) {
    endSound();
    const QByteArray midi = unwrapRiffMidi(bytes);
    if (!midi.startsWith("MThd"))
        throw AppError(QStringLiteral("Not a MIDI file"));
    loadSynth();
    fluid_synth_system_reset(synth);

    auto next = std::make_unique<Sound>();
    next->midi = midi;
    next->player.reset(new_fluid_player(synth));
    if (!next->player ||
        fluid_player_add_mem(next->player.get(), next->midi.constData(),
                             static_cast<size_t>(next->midi.size())) != FLUID_OK ||
        fluid_player_play(next->player.get()) != FLUID_OK)
        throw AppError(QStringLiteral("Not a MIDI file"));
    sound = std::move(next);
    sound->firstBlock.resize(BlockBytes);
    try {
        sound->firstBlock.resize(renderOne(sound->firstBlock.data()));
    } catch (const AppError&) {
        endSound();
        throw;
    }
}

int MidiRenderer::renderBlock(char* out) {
    if (!sound)
        return 0;
    if (!sound->firstBlock.isNull()) {
        const QByteArray first = std::exchange(sound->firstBlock, QByteArray());
        std::copy(first.constBegin(), first.constEnd(), out);
        return static_cast<int>(first.size());
    }
    return renderOne(out);
}

int MidiRenderer::renderOne(char* out) {
    Sound& s = *sound;
    if (s.ended || s.frames >= qint64(MaxSeconds) * SampleRate) {
        s.ended = true;
        return 0;
    }
    fluid_synth_write_s16(synth, BlockFrames, out, 0, Channels, out, 1, Channels);
    s.frames += BlockFrames;

    // The player reads the file inside the first block, so the tick count
    // is known from here on; a file it cannot read leaves it at zero.
    const int total = fluid_player_get_total_ticks(s.player.get());
    const bool lastTickPassed = total > 0 && fluid_player_get_current_tick(s.player.get()) >= total;
    const bool done = fluid_player_get_status(s.player.get()) == FLUID_PLAYER_DONE;
    if (done && total <= 0)
        throw AppError(QStringLiteral("Not a MIDI file FluidSynth can read"));
    if (lastTickPassed || done) {
        // This block, in which the last tick passed or the voices died
        // away, is the last one.
        if (fluid_synth_get_active_voice_count(synth) == 0 || isSilent(out, BlockFrames * Channels))
            s.ended = true;
        s.tailFrames += BlockFrames;
        if (s.tailFrames >= qint64(MaxTailSeconds) * SampleRate)
            s.ended = true;
    }
    return BlockBytes;
}

void MidiRenderer::endSound() {
    if (!sound)
        return;
    sound.reset();
    if (synth != nullptr)
        fluid_synth_system_reset(synth);
}

PcmClip MidiRenderer::render(const QByteArray& bytes) {
    begin(bytes);
    PcmClip clip;
    clip.format.setSampleRate(SampleRate);
    clip.format.setChannelCount(Channels);
    clip.format.setSampleFormat(QAudioFormat::Int16);
    for (;;) {
        const qsizetype at = clip.data.size();
        clip.data.resize(at + BlockBytes);
        const int wrote = renderBlock(clip.data.data() + at);
        clip.data.resize(at + wrote);
        if (wrote == 0)
            break;
    }
    endSound();
    return clip;
}
