#pragma once

#include "core/mediaplayer.h"
#include "midirenderer.h"
#include "pcmclip.h"

#include <QThread>

class SoundOutput;

// The window's media player: WAV files through libsndfile, MIDI files through
// FluidSynth, both decoded whole at Open() so that Play() only has to hand
// ready samples to the sound system; played on the system's default output.
//
// OnNotify comes on this object's thread, once for every Play(): when the last
// sample has been heard, or after Stop(), Close() or Open() cut it short.
class Player : public MediaPlayer {
    Q_OBJECT
public:
    explicit Player(QObject* parent = nullptr);
    ~Player() override;

    // Raises AppError when the file is missing, unreadable or of an unknown
    // kind, or when there is no sound output to play it on.
    void Open() override;
    void Play() override;
    void Stop() override;
    void Close() override;
    bool IsPlaying() const override { return playing; }

    // The General MIDI SoundFont MIDI files are rendered with.
    QString soundFont() const { return midi.soundFont(); }
    void setSoundFont(const QString& path) { midi.setSoundFont(path); }

    // The open file's sound and the place playback continues from.
    const PcmClip& clip() const { return sound; }
    qint64 positionBytes() const { return position; }
    // Microseconds the last Play() took to hand its first samples over.
    qint64 lastStartUSecs() const;

private:
    // Takes the one-shot NotifyNext setting: true when a notification is due.
    bool takeNotifyRequest();
    PcmClip decode(const QString& path);
    void closeFile();
    void stopPlaying();
    void onEnded(quint64 playId, qint64 endPosition);
    void postNotify();

    QThread outputThread;
    SoundOutput* output = nullptr;
    MidiRenderer midi;

    PcmClip sound;
    bool opened = false;
    bool playing = false;
    bool notifyThisPlay = true;
    quint64 playId = 0;
    qint64 position = 0;
};
