#pragma once

#include <QObject>
#include <QString>

// The window's media player as the program uses it: one file at a time, played
// on the PC's sound output, with one end notification per Play().
class MediaPlayer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~MediaPlayer() override;

    // The file the next Open() opens.
    QString FileName;
    // The sound output the next Open() plays on: the sound server's name for
    // it (a PulseAudio sink name); empty for the server's default output.
    QByteArray OutputDevice;
    // One-shot: the next Open(), Play(), Stop() or Close() goes without a
    // notification request; only matters when Play() comes next.
    bool NotifyNext = true;

    // Closes any open file, then opens FileName at its start. Raises AppError
    // with the media system's text when the file or the device cannot be had.
    virtual void Open() = 0;
    // Starts playing and returns at once; OnNotify follows once when this
    // playback ends, whether it ran out or was stopped.
    virtual void Play() = 0;
    virtual void Stop() = 0;
    virtual void Close() = 0;
    virtual bool IsPlaying() const = 0;

signals:
    void OnNotify();
};
