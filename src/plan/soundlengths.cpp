#include "soundlengths.h"

#include "core/apperror.h"
#include "files/midirenderer.h"
#include "files/soundfile.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <sndfile.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// A length known() hands out is checked against the disk again in the
// background when its last check is older than this.
constexpr auto RecheckAfter = std::chrono::milliseconds(1000);
// How long the end of the program waits for a worker that is rendering (it
// stops within a block); a worker stuck in a read is not waited for at all.
constexpr auto RenderStopWait = std::chrono::milliseconds(500);

struct Stamp {
    QDateTime modified;
    qint64 size = -1;
    bool operator==(const Stamp& other) const {
        return modified == other.modified && size == other.size;
    }
};

Stamp stampOf(const QString& path) {
    const QFileInfo info(path);
    return {info.lastModified(), info.exists() ? info.size() : -1};
}

// The measurement itself; `readDone` is called once the file has been read
// and only rendering (which always ends) is left.
std::optional<qint64> measureFile(const QString& path, MidiRenderer& midi,
                                  const std::atomic<bool>* cancel,
                                  const std::function<void()>& readDone) {
    QString reason;
    const int fd = SoundFile::openRegular(path, reason);
    if (fd < 0)
        return std::nullopt;
    char head[64] = {};
    const ssize_t got = ::read(fd, head, sizeof head);
    if (got > 0 && MidiRenderer::looksLikeMidi(QByteArray(head, int(got)))) {
        ::close(fd);
        try {
            const QByteArray bytes = MidiRenderer::readFile(path);
            if (readDone)
                readDone();
            midi.begin(bytes);
            QByteArray block(MidiRenderer::BlockBytes, 0);
            qint64 bytesRendered = 0;
            for (int wrote = midi.renderBlock(block.data()); wrote > 0;
                 wrote = midi.renderBlock(block.data())) {
                if (cancel != nullptr && cancel->load(std::memory_order_relaxed))
                    return std::nullopt;
                bytesRendered += wrote;
            }
            const qint64 frames = bytesRendered / (MidiRenderer::Channels * 2);
            return frames * 1000000 / MidiRenderer::SampleRate;
        } catch (const AppError&) {
            return std::nullopt;
        }
    }
    // The header tells the length; nothing needs decoding.
    ::lseek(fd, 0, SEEK_SET);
    SF_INFO info{};
    SNDFILE* sound = SoundFile::openSound(fd, info);
    if (sound != nullptr)
        sf_close(sound);
    ::close(fd);
    if (sound == nullptr || info.samplerate <= 0)
        return std::nullopt;
    return qint64(info.frames) * 1000000 / info.samplerate;
}

} // namespace

// What the worker threads share with the lengths object. The workers keep it
// alive, so the object can go (the program can end) while one is still
// stuck in a read.
struct SoundLengths::Shared {
    struct Entry {
        Stamp stamp;
        std::optional<qint64> usecs;
        quint64 checkedFor = 0; // the request count when the check began
        Clock::time_point checkedAt;
    };

    std::mutex lock;
    std::condition_variable changed;
    QHash<QString, Entry> cache;
    std::deque<QString> queue;
    QSet<QString> queued;
    quint64 requests = 0;
    // The worker that takes new work; an older one stuck in a read finishes
    // its file and leaves.
    int generation = 0;
    bool workerRunning = false;
    QString current;
    bool currentReading = false;
    Clock::time_point currentSince;
    QSet<QString> stuck;
    std::atomic<bool> closing{false};
    QObject* notifier = nullptr; // the lengths object while it lives

    void enqueue(const QString& path, bool first) {
        if (queued.contains(path)) {
            if (!first)
                return;
            queue.erase(std::find(queue.begin(), queue.end(), path));
        }
        queued.insert(path);
        if (first)
            queue.push_front(path);
        else
            queue.push_back(path);
    }

    // Leaves a worker that has been reading one file for too long to it, and
    // lets a new one go on with the rest. Called with the lock held.
    void unstick() {
        if (!workerRunning || !currentReading ||
            Clock::now() - currentSince < std::chrono::milliseconds(ReadWaitMs))
            return;
        stuck.insert(current);
        ++generation;
        workerRunning = false;
        current.clear();
    }

    static void startWorker(const std::shared_ptr<Shared>& self) {
        if (self->workerRunning || self->queue.empty() || self->closing)
            return;
        self->workerRunning = true;
        std::thread([self, generation = self->generation] { self->work(generation); }).detach();
    }

    void work(int mine);
};

void SoundLengths::Shared::work(int mine) {
    std::unique_ptr<MidiRenderer> midi; // loaded on the first MIDI file
    std::unique_lock<std::mutex> guard(lock);
    while (!closing && generation == mine && !queue.empty()) {
        const QString path = queue.front();
        queue.pop_front();
        queued.remove(path);
        const quint64 asked = requests;
        current = path;
        currentReading = true;
        currentSince = Clock::now();
        guard.unlock();

        const Stamp stamp = stampOf(path);
        bool fresh = false;
        {
            std::lock_guard<std::mutex> check(lock);
            const auto found = cache.constFind(path);
            fresh = found != cache.constEnd() && found->stamp == stamp;
        }
        std::optional<qint64> usecs;
        if (!fresh) {
            if (!midi)
                midi = std::make_unique<MidiRenderer>();
            usecs = measureFile(path, *midi, &closing, [this, mine] {
                std::lock_guard<std::mutex> reading(lock);
                if (generation == mine)
                    currentReading = false;
            });
        }

        guard.lock();
        Entry& entry = cache[path];
        if (!fresh) {
            entry.stamp = stamp;
            entry.usecs = usecs;
        }
        entry.checkedFor = std::max(entry.checkedFor, asked);
        entry.checkedAt = Clock::now();
        stuck.remove(path);
        if (generation == mine) {
            current.clear();
            currentReading = false;
        }
        if (notifier != nullptr) {
            QMetaObject::invokeMethod(
                notifier,
                [lengths = static_cast<SoundLengths*>(notifier), path, news = !fresh] {
                    if (lengths->pending.remove(path) || news)
                        emit lengths->measured(path);
                },
                Qt::QueuedConnection);
        }
        changed.notify_all();
    }
    if (generation == mine) {
        workerRunning = false;
        currentReading = false;
    }
    changed.notify_all();
}

SoundLengths::SoundLengths(QObject* parent) : QObject(parent), shared(std::make_shared<Shared>()) {
    shared->notifier = this;
}

SoundLengths::~SoundLengths() {
    std::unique_lock<std::mutex> guard(shared->lock);
    shared->closing = true;
    shared->notifier = nullptr;
    shared->queue.clear();
    shared->queued.clear();
    // A worker that renders stops within a block and is let finish, so that
    // the synthesizer is not in use while the program ends; one that waits
    // for a disk is left behind.
    shared->changed.wait_for(guard, RenderStopWait,
                             [this] { return !shared->workerRunning || shared->currentReading; });
}

std::optional<qint64> SoundLengths::known(const QString& path) {
    std::lock_guard<std::mutex> guard(shared->lock);
    shared->unstick();
    const auto found = shared->cache.constFind(path);
    if (found != shared->cache.constEnd()) {
        if (Clock::now() - found->checkedAt > RecheckAfter && !shared->stuck.contains(path))
            shared->enqueue(path, false);
        Shared::startWorker(shared);
        return found->usecs;
    }
    if (!shared->stuck.contains(path)) {
        pending.insert(path);
        shared->enqueue(path, false);
        Shared::startWorker(shared);
    }
    return std::nullopt;
}

std::optional<qint64> SoundLengths::now(const QString& path) {
    std::unique_lock<std::mutex> guard(shared->lock);
    shared->unstick();
    if (shared->stuck.contains(path))
        return std::nullopt;
    const quint64 ticket = ++shared->requests;
    shared->enqueue(path, true);
    Shared::startWorker(shared);
    for (;;) {
        const auto found = shared->cache.constFind(path);
        if (found != shared->cache.constEnd() && found->checkedFor >= ticket)
            return found->usecs;
        shared->unstick();
        if (shared->stuck.contains(path))
            return std::nullopt;
        Shared::startWorker(shared);
        shared->changed.wait_for(guard, std::chrono::milliseconds(50));
    }
}

bool SoundLengths::busy() const {
    return !pending.isEmpty();
}

std::optional<qint64> SoundLengths::measure(const QString& path, MidiRenderer& midi,
                                            const std::atomic<bool>* cancel) {
    return measureFile(path, midi, cancel, {});
}
