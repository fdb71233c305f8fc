#pragma once

#include "core/mediaplayer.h"
#include "decodedsound.h"

#include <QThread>
#include <memory>

class MidiRenderer;
class SoundOutput;

// The window's media player: WAV files through libsndfile, MIDI files through
// FluidSynth, played on the output named by OutputDevice (the sound server's
// default output when it is empty) through the build's SoundOutput.
//
// Open() reads only what tells whether the file can sound (its header, or a
// MIDI file's first block) and connects the stream; the rest is decoded on a
// worker thread while the user interface goes on, and Play() can start as
// soon as Open() returns. No sound is decoded beyond MaxSoundSeconds.
//
// OnNotify comes on this object's thread, once for every Play(): when the last
// sample has been heard, or after Stop(), Close() or Open() cut it short.
class Player : public MediaPlayer {
    Q_OBJECT
public:
    explicit Player(QObject* parent = nullptr);
    ~Player() override;

    // Raises AppError with the reason when the file is missing, not a
    // regular file, unreadable or of an unknown kind, or when there is no
    // sound output to play it on ("No sound output named ..." when the
    // chosen one is not there).
    void Open() override;
    void Play() override;
    void Stop() override;
    void Close() override;
    bool IsPlaying() const override { return playing; }

    // The General MIDI SoundFont MIDI files are rendered with.
    QString soundFont() const;
    void setSoundFont(const QString& path);

    // The open file's sound (as far as it is decoded) and the place playback
    // continues from.
    std::shared_ptr<const DecodedSound> sound() const { return current; }
    qint64 positionBytes() const { return position; }
    // The open file's length in microseconds, 0 when none is open.
    qint64 durationUSecs() const { return current ? current->durationUSecs() : 0; }

    // What the sound output measured of the last Play(), for the benchmark.
    struct OutputFigures {
        qint64 startUSecs = 0;  // Play() until its first samples were handed over
        qint64 bufferUSecs = 0; // the stream's buffer as the server granted it
        qint64 sinkUSecs = 0;   // the stream's latency (queue and sink) last reported
    };
    OutputFigures outputFigures() const;

private:
    // Takes the one-shot NotifyNext setting: true when a notification is due.
    bool takeNotifyRequest();
    std::shared_ptr<DecodedSound> load(const QString& path);
    std::shared_ptr<DecodedSound> loadMidi(const QString& path);
    void finishMidiJob();
    void closeFile();
    void stopPlaying();
    void onEnded(quint64 playId, qint64 endPosition);
    void postNotify();

    QThread outputThread;
    SoundOutput* output = nullptr;
    // Shared with the thread that renders the current MIDI file.
    std::shared_ptr<MidiRenderer> midi;
    std::shared_ptr<DecodedSound> midiJob;

    std::shared_ptr<DecodedSound> current;
    bool opened = false;
    bool playing = false;
    bool notifyThisPlay = true;
    quint64 playId = 0;
    qint64 position = 0;
};
