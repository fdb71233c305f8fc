#include "soundlengths.h"

#include "core/apperror.h"
#include "files/midirenderer.h"

#include <QFile>
#include <QFileInfo>
#include <sndfile.h>

SoundLengths::SoundLengths(QObject* parent) : QObject(parent) {
    // One file at a time: the synthesizer is shared, and the user-interface
    // thread keeps the other core.
    pool.setMaxThreadCount(1);
}

SoundLengths::~SoundLengths() {
    pool.clear();
    pool.waitForDone();
}

SoundLengths::Stamp SoundLengths::stampOf(const QString& path) {
    const QFileInfo info(path);
    return {info.lastModified(), info.exists() ? info.size() : -1};
}

bool SoundLengths::lookUp(const QString& path, const Stamp& stamp,
                          std::optional<qint64>& usecs) const {
    QMutexLocker lock(&cacheLock);
    const auto found = cache.constFind(path);
    if (found == cache.constEnd() || found->modified != stamp.modified || found->size != stamp.size)
        return false;
    usecs = found->usecs;
    return true;
}

std::optional<qint64> SoundLengths::measureAndKeep(const QString& path, const Stamp& stamp) {
    std::optional<qint64> usecs;
    {
        QMutexLocker lock(&rendererLock);
        if (!renderer)
            renderer = std::make_unique<MidiRenderer>();
        usecs = measure(path, *renderer);
    }
    QMutexLocker lock(&cacheLock);
    cache.insert(path, {stamp.modified, stamp.size, usecs});
    return usecs;
}

std::optional<qint64> SoundLengths::known(const QString& path) {
    std::optional<qint64> usecs;
    const Stamp stamp = stampOf(path);
    if (lookUp(path, stamp, usecs))
        return usecs;
    if (!pending.contains(path)) {
        pending.insert(path);
        pool.start([this, path, stamp] {
            measureAndKeep(path, stamp);
            QMetaObject::invokeMethod(
                this,
                [this, path] {
                    pending.remove(path);
                    emit measured(path);
                },
                Qt::QueuedConnection);
        });
    }
    return std::nullopt;
}

std::optional<qint64> SoundLengths::now(const QString& path) {
    std::optional<qint64> usecs;
    const Stamp stamp = stampOf(path);
    if (lookUp(path, stamp, usecs))
        return usecs;
    return measureAndKeep(path, stamp);
}

bool SoundLengths::busy() const {
    return !pending.isEmpty();
}

std::optional<qint64> SoundLengths::measure(const QString& path, MidiRenderer& midi) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray head = file.read(64);
    file.close();
    if (MidiRenderer::looksLikeMidi(head)) {
        try {
            return midi.renderFile(path).durationUSecs();
        } catch (const AppError&) {
            return std::nullopt;
        }
    }
    // The header tells the length; nothing needs decoding.
    SF_INFO info{};
    SNDFILE* sound = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (sound == nullptr)
        return std::nullopt;
    sf_close(sound);
    if (info.samplerate <= 0)
        return std::nullopt;
    return qint64(info.frames) * 1000000 / info.samplerate;
}
