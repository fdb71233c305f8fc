#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <atomic>
#include <memory>
#include <optional>

class MidiRenderer;

// The lengths of the table's sound files, in microseconds. WAV and the other
// formats libsndfile reads are measured from their headers; MIDI files are
// rendered by the same synthesizer as playback, since only that tells when
// their sound really ends. Lengths are kept until the file changes on disk.
// Only regular files are measured: a FIFO, a device or a folder has none.
//
// Every look at the disk happens on a worker thread, never on the caller's:
// a file on a hung mount must not freeze the window. The picture asks with
// known(), which measures in the background and reports with measured();
// commands that need every length at once ask with now(), which waits for
// the worker, but not for ever. The worker is never waited for when the
// program ends.
class SoundLengths : public QObject {
    Q_OBJECT
public:
    // How long now() waits for a file that the worker is still reading (a
    // hung mount); the file then counts as unreadable for this command,
    // while its measurement goes on in the background. A worker that is
    // rendering a MIDI file is waited for: that always ends.
    static constexpr int ReadWaitMs = 2000;

    explicit SoundLengths(QObject* parent = nullptr);
    ~SoundLengths() override;

    // The length when it is known already; otherwise nothing, and the file is
    // measured in the background.
    std::optional<qint64> known(const QString& path);
    // The length of the file as it is now, measured first when it is not
    // known yet. Nothing for a file that cannot be read as sound, or that
    // could not be read within ReadWaitMs.
    std::optional<qint64> now(const QString& path);
    // Whether background measuring is still going on.
    bool busy() const;

    // One measurement without any cache, on the calling thread. `cancel`,
    // when given and set, ends the rendering of a MIDI file early (nothing).
    static std::optional<qint64> measure(const QString& path, MidiRenderer& renderer,
                                         const std::atomic<bool>* cancel = nullptr);

signals:
    void measured(const QString& path);

private:
    struct Shared;
    std::shared_ptr<Shared> shared;
    QSet<QString> pending; // user-interface thread only
};
