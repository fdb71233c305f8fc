#pragma once

#include "pcmclip.h"

#include <QByteArray>
#include <QString>
#include <memory>

struct _fluid_hashtable_t;
struct _fluid_synth_t;

// Renders a standard MIDI file to PCM with FluidSynth and a General MIDI
// SoundFont, as fast as the processor allows. The synthesizer and its
// SoundFont are loaded once, on the first render, and reused.
//
// FluidSynth's own player keeps reporting "playing" for a while after the
// last event, so the sound ends here instead when the last tick has passed and
// no voice sounds any more (or what still sounds is below -60 dB). Reverb and chorus stay off:
// their tails would outlast the voices and blur that end.
class MidiRenderer {
public:
    static constexpr int SampleRate = 44100;
    static constexpr int Channels = 2;
    // Bounds against files that never end (a held sustain pedal, a huge
    // tempo): the whole sound, and the part after the last event.
    static constexpr int MaxSeconds = MaxSoundSeconds;
    static constexpr int MaxTailSeconds = 10;
    // Frames rendered per block.
    static constexpr int BlockFrames = 512;
    static constexpr int BlockBytes = BlockFrames * Channels * 2;
    // MIDI files are small; anything larger is no MIDI file worth reading.
    static constexpr qint64 MaxFileBytes = 16 * 1024 * 1024;

    explicit MidiRenderer(const QString& soundFont = defaultSoundFont());
    ~MidiRenderer();
    MidiRenderer(const MidiRenderer&) = delete;
    MidiRenderer& operator=(const MidiRenderer&) = delete;

    // The General MIDI SoundFont of the system: timgm6mb at its standard
    // place, or failing that whatever the system names its default.
    static QString defaultSoundFont();
    // True when the bytes start like a standard MIDI file (or its RIFF form).
    static bool looksLikeMidi(const QByteArray& head);

    QString soundFont() const { return fontPath; }
    void setSoundFont(const QString& path);

    // Raises AppError when the bytes are no MIDI file or the SoundFont
    // cannot be loaded.
    PcmClip render(const QByteArray& midi);
    PcmClip renderFile(const QString& path);
    // Reads a MIDI file (a regular file of at most MaxFileBytes); raises
    // AppError with the reason.
    static QByteArray readFile(const QString& path);

    // Rendering block by block, for a sound that is played while it is
    // rendered. begin() renders the first block already, so that a file
    // FluidSynth cannot read is refused here; raises AppError.
    void begin(const QByteArray& midi);
    // Renders the next block into `out` (BlockBytes); returns the bytes
    // written, 0 once the sound has ended.
    int renderBlock(char* out);

private:
    void loadSynth();
    void unloadSynth();
    int renderOne(char* out);
    void endSound();

    QString fontPath;
    _fluid_hashtable_t* settings = nullptr;
    _fluid_synth_t* synth = nullptr;

    // The sound being rendered.
    struct Sound;
    std::unique_ptr<Sound> sound;
};
