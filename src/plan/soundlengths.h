#pragma once

#include <QDateTime>
#include <QHash>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QString>
#include <QThreadPool>
#include <memory>
#include <optional>

class MidiRenderer;

// The lengths of the table's sound files, in microseconds. WAV and the other
// formats libsndfile reads are measured from their headers; MIDI files are
// rendered by the same synthesizer as playback, since only that tells when
// their sound really ends. Lengths are kept until the file changes on disk.
//
// Rendering a long MIDI file takes a while, so the picture asks with known(),
// which measures in the background and reports with measured(); commands that
// need every length at once ask with now().
class SoundLengths : public QObject {
    Q_OBJECT
public:
    explicit SoundLengths(QObject* parent = nullptr);
    ~SoundLengths() override;

    // The length when it is known already; otherwise nothing, and the file is
    // measured in the background.
    std::optional<qint64> known(const QString& path);
    // The length, measured on the calling thread when it is not known yet.
    // Nothing for a file that cannot be read as sound.
    std::optional<qint64> now(const QString& path);
    // Whether background measuring is still going on.
    bool busy() const;

    // One measurement without any cache.
    static std::optional<qint64> measure(const QString& path, MidiRenderer& renderer);

signals:
    void measured(const QString& path);

private:
    struct Entry {
        QDateTime modified;
        qint64 size = -1;
        std::optional<qint64> usecs;
    };
    struct Stamp {
        QDateTime modified;
        qint64 size = -1;
    };
    static Stamp stampOf(const QString& path);
    // Looks up a length measured from the file as it is now.
    bool lookUp(const QString& path, const Stamp& stamp, std::optional<qint64>& usecs) const;
    std::optional<qint64> measureAndKeep(const QString& path, const Stamp& stamp);

    mutable QMutex cacheLock;
    QHash<QString, Entry> cache;
    QMutex rendererLock;
    std::unique_ptr<MidiRenderer> renderer;
    QSet<QString> pending; // user-interface thread only
    QThreadPool pool;
};
