#include "pulsesoundoutput.h"

#include <algorithm>
#include <cstring>
#include <pthread.h>
#include <pulse/pulseaudio.h>
#include <sched.h>
#include <utility>

namespace {

void signalMainloop(pa_threaded_mainloop* mainloop) {
    pa_threaded_mainloop_signal(mainloop, 0);
}

void contextChanged(pa_context*, void* mainloop) {
    signalMainloop(static_cast<pa_threaded_mainloop*>(mainloop));
}

void streamChanged(pa_stream*, void* mainloop) {
    signalMainloop(static_cast<pa_threaded_mainloop*>(mainloop));
}

void timedOut(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* mainloop) {
    signalMainloop(static_cast<pa_threaded_mainloop*>(mainloop));
}

void timingDone(pa_stream*, int, void*) {}

// Asks for round-robin real-time scheduling for the calling thread, below the
// sound servers' own threads, as sound programs do: a machine busy with other
// work then cannot delay the stream past its small buffer. Where the system
// does not grant it, the thread goes on as it was.
void askForRealtime() {
    sched_param param{};
    param.sched_priority = PulseSoundOutput::RealtimePriority;
#ifdef SCHED_RESET_ON_FORK
    const int policy = SCHED_RR | SCHED_RESET_ON_FORK;
#else
    const int policy = SCHED_RR;
#endif
    pthread_setschedparam(pthread_self(), policy, &param);
}

void askForRealtimeInLoop(pa_mainloop_api*, void*) {
    askForRealtime();
}

pa_sample_spec sampleFormatOf(const QAudioFormat& format) {
    pa_sample_spec sampleFormat{};
    sampleFormat.format = PA_SAMPLE_S16LE;
    sampleFormat.rate = static_cast<uint32_t>(std::max(0, format.sampleRate()));
    sampleFormat.channels = static_cast<uint8_t>(std::clamp(format.channelCount(), 0, 255));
    return sampleFormat;
}

// Runs `done` under the main loop's lock until it holds or `timeoutMs` has
// passed; the loop's own timer wakes the wait at the deadline.
template <typename Done>
bool waitLocked(pa_threaded_mainloop* mainloop, pa_context* context, int timeoutMs, Done done) {
    const pa_usec_t deadline = pa_rtclock_now() + pa_usec_t(timeoutMs) * 1000;
    pa_time_event* timer = pa_context_rttime_new(context, deadline, timedOut, mainloop);
    bool result = done();
    while (!result && pa_rtclock_now() < deadline) {
        pa_threaded_mainloop_wait(mainloop);
        result = done();
    }
    if (timer != nullptr)
        pa_threaded_mainloop_get_api(mainloop)->time_free(timer);
    return result;
}

class Locked {
public:
    explicit Locked(pa_threaded_mainloop* mainloop_) : mainloop(mainloop_) {
        pa_threaded_mainloop_lock(mainloop);
    }
    ~Locked() { pa_threaded_mainloop_unlock(mainloop); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    pa_threaded_mainloop* mainloop;
};

// What the server tells of its outputs, gathered by the callbacks of one
// listing.
struct SinkQuery {
    QList<OutputDevices::Output> outputs;
    QByteArray defaultSink;
    bool serverDone = false;
    bool sinksDone = false;
};

void serverInfo(pa_context*, const pa_server_info* info, void* query) {
    auto* q = static_cast<SinkQuery*>(query);
    if (info != nullptr && info->default_sink_name != nullptr)
        q->defaultSink = info->default_sink_name;
    q->serverDone = true;
}

void sinkInfo(pa_context*, const pa_sink_info* info, int last, void* query) {
    auto* q = static_cast<SinkQuery*>(query);
    if (last != 0) {
        q->sinksDone = true;
        return;
    }
    if (info != nullptr && info->name != nullptr)
        q->outputs.append(
            {QByteArray(info->name),
             QString::fromUtf8(info->description != nullptr ? info->description : info->name),
             false});
}

// Runs `loop` until `done` holds or `timeoutMs` has passed.
template <typename Done> bool runUntil(pa_mainloop* loop, int timeoutMs, Done done) {
    const pa_usec_t deadline = pa_rtclock_now() + pa_usec_t(timeoutMs) * 1000;
    while (!done()) {
        const pa_usec_t now = pa_rtclock_now();
        if (now >= deadline)
            return false;
        if (pa_mainloop_prepare(loop, int(std::min<pa_usec_t>(deadline - now, 1000000))) < 0 ||
            pa_mainloop_poll(loop) < 0 || pa_mainloop_dispatch(loop) < 0)
            return false;
    }
    return true;
}

} // namespace

SoundOutput* SoundOutput::create() {
    return new PulseSoundOutput;
}

QList<OutputDevices::Output> SoundOutput::outputs() {
    // A connection of its own, asked from whichever thread lists: the sinks
    // a stream can be connected to, by the names it takes.
    SinkQuery query;
    pa_mainloop* loop = pa_mainloop_new();
    if (loop == nullptr)
        return {};
    pa_context* context = pa_context_new(pa_mainloop_get_api(loop), "isdvokar");
    if (context != nullptr &&
        pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
        const auto state = [context] { return pa_context_get_state(context); };
        runUntil(loop, PulseSoundOutput::ConnectMs,
                 [&] { return !PA_CONTEXT_IS_GOOD(state()) || state() == PA_CONTEXT_READY; });
        if (state() == PA_CONTEXT_READY) {
            pa_operation* server = pa_context_get_server_info(context, serverInfo, &query);
            pa_operation* sinks = pa_context_get_sink_info_list(context, sinkInfo, &query);
            runUntil(loop, PulseSoundOutput::ConnectMs, [&] {
                return (query.serverDone && query.sinksDone) || state() != PA_CONTEXT_READY;
            });
            for (pa_operation* operation : {server, sinks}) {
                if (operation == nullptr)
                    continue;
                if (pa_operation_get_state(operation) == PA_OPERATION_RUNNING)
                    pa_operation_cancel(operation);
                pa_operation_unref(operation);
            }
        }
        pa_context_disconnect(context);
    }
    if (context != nullptr)
        pa_context_unref(context);
    pa_mainloop_free(loop);
    if (!query.sinksDone)
        return {};
    for (OutputDevices::Output& output : query.outputs)
        output.isDefault = output.id == query.defaultSink;
    return query.outputs;
}

SoundOutput::Backend SoundOutput::backend() {
    return Backend::PulseAudio;
}

PulseSoundOutput::PulseSoundOutput(QObject* parent)
    : SoundOutput(parent), poll(new QTimer(this)), scratch(64 * 1024, 0) {
    poll->setTimerType(Qt::PreciseTimer);
    poll->setInterval(PollMs);
    connect(poll, &QTimer::timeout, this, &PulseSoundOutput::feed);
    mainloop = pa_threaded_mainloop_new();
    if (mainloop != nullptr && pa_threaded_mainloop_start(mainloop) < 0) {
        pa_threaded_mainloop_free(mainloop);
        mainloop = nullptr;
    }
    // The loop's thread carries the samples to the server. The request goes
    // through a defer event, which the loop frees even when it is stopped
    // before running it (a program that ends at once leaks nothing).
    if (mainloop != nullptr) {
        Locked locked(mainloop);
        pa_mainloop_api_once(pa_threaded_mainloop_get_api(mainloop), askForRealtimeInLoop, nullptr);
    }
}

PulseSoundOutput::~PulseSoundOutput() {
    close();
    disconnectServer();
    if (mainloop != nullptr) {
        pa_threaded_mainloop_stop(mainloop);
        pa_threaded_mainloop_free(mainloop);
    }
}

QString PulseSoundOutput::serverError() const {
    return QString::fromLocal8Bit(
        pa_strerror(context != nullptr ? pa_context_errno(context) : PA_ERR_CONNECTIONREFUSED));
}

QString PulseSoundOutput::streamError() const {
    // A sink that is not there (an adapter unplugged since it was chosen).
    if (!sink.isEmpty() && context != nullptr && pa_context_errno(context) == PA_ERR_NOENTITY)
        return noSuchOutputText(sink);
    return QStringLiteral("The sound server refused the stream: %1").arg(serverError());
}

bool PulseSoundOutput::connectServer(QString& error) {
    if (mainloop == nullptr) {
        error = QStringLiteral("No sound server to play on: the sound library cannot start");
        return false;
    }
    Locked locked(mainloop);
    if (context != nullptr && pa_context_get_state(context) == PA_CONTEXT_READY)
        return true;
    if (context != nullptr) {
        // A connection that failed (the server went away) is made anew.
        pa_context_set_state_callback(context, nullptr, nullptr);
        pa_context_disconnect(context);
        pa_context_unref(context);
    }
    context = pa_context_new(pa_threaded_mainloop_get_api(mainloop), "isdvokar");
    if (context == nullptr) {
        error = QStringLiteral("No sound server to play on: the sound library cannot start");
        return false;
    }
    pa_context_set_state_callback(context, contextChanged, mainloop);
    // The server named by the environment or the user's own; never one
    // started on the program's behalf.
    if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        error = QStringLiteral("No sound server to play on: %1").arg(serverError());
        return false;
    }
    const bool settled = waitLocked(mainloop, context, ConnectMs, [this] {
        return !PA_CONTEXT_IS_GOOD(pa_context_get_state(context)) ||
               pa_context_get_state(context) == PA_CONTEXT_READY;
    });
    if (pa_context_get_state(context) == PA_CONTEXT_READY)
        return true;
    error = settled ? QStringLiteral("No sound server to play on: %1").arg(serverError())
                    : QStringLiteral("No sound server to play on: it did not answer within %1 s")
                          .arg(ConnectMs / 1000);
    return false;
}

void PulseSoundOutput::disconnectServer() {
    if (mainloop == nullptr || context == nullptr)
        return;
    Locked locked(mainloop);
    pa_context_set_state_callback(context, nullptr, nullptr);
    pa_context_disconnect(context);
    pa_context_unref(context);
    context = nullptr;
}

void PulseSoundOutput::prepareStream() {
    if (stream != nullptr || !sound || mainloop == nullptr)
        return;
    QString ignored;
    if (!connectServer(ignored))
        return;
    Locked locked(mainloop);
    const pa_sample_spec sampleFormat = sampleFormatOf(sound->format());
    stream = pa_stream_new(context, "Sound file", &sampleFormat, nullptr);
    if (stream == nullptr)
        return;
    pa_stream_set_state_callback(stream, streamChanged, mainloop);
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = static_cast<uint32_t>(pa_usec_to_bytes(QueueMs * 1000, &sampleFormat));
    attr.prebuf = static_cast<uint32_t>(-1);
    attr.minreq = static_cast<uint32_t>(pa_usec_to_bytes(SinkLatencyMs * 1000, &sampleFormat));
    attr.fragsize = static_cast<uint32_t>(-1);
    // Early requests make the server run its sink at the small latency of
    // one request instead of its default (two seconds on an idle null sink),
    // while the samples queued for it may be more: what the server has in
    // hand rides out a moment in which the machine is too busy to pass it
    // more.
    const auto flags = static_cast<pa_stream_flags_t>(
        PA_STREAM_EARLY_REQUESTS | PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE);
    if (pa_stream_connect_playback(stream, sink.isEmpty() ? nullptr : sink.constData(), &attr,
                                   flags, nullptr, nullptr) < 0) {
        pa_stream_set_state_callback(stream, nullptr, nullptr);
        pa_stream_unref(stream);
        stream = nullptr;
    }
}

bool PulseSoundOutput::waitReady(QString& error) {
    if (stream == nullptr) {
        if (!connectServer(error))
            return false;
        error = streamError();
        return false;
    }
    Locked locked(mainloop);
    const bool settled = waitLocked(mainloop, context, ConnectMs, [this] {
        return pa_stream_get_state(stream) != PA_STREAM_CREATING &&
               pa_stream_get_state(stream) != PA_STREAM_UNCONNECTED;
    });
    if (pa_stream_get_state(stream) == PA_STREAM_READY) {
        if (const pa_buffer_attr* attr = pa_stream_get_buffer_attr(stream))
            grantedBufferUSecs =
                qint64(pa_bytes_to_usec(attr->tlength, pa_stream_get_sample_spec(stream)));
        return true;
    }
    error = settled ? streamError()
                    : QStringLiteral("The sound server did not open a stream within %1 s")
                          .arg(ConnectMs / 1000);
    return false;
}

void PulseSoundOutput::dropStream() {
    if (mainloop == nullptr)
        return;
    Locked locked(mainloop);
    if (timing != nullptr) {
        pa_operation_cancel(timing);
        pa_operation_unref(std::exchange(timing, nullptr));
    }
    if (stream != nullptr) {
        pa_stream_set_state_callback(stream, nullptr, nullptr);
        // Disconnecting drops what the server still holds: the sound stops
        // now, not after the buffer.
        pa_stream_disconnect(stream);
        pa_stream_unref(std::exchange(stream, nullptr));
    }
}

bool PulseSoundOutput::open(std::shared_ptr<const DecodedSound> sound_, const QByteArray& device,
                            QString& error) {
    close();
    sink = device;
    // The output's own thread feeds the stream; asked once, on that thread.
    if (!realtimeAsked) {
        askForRealtime();
        realtimeAsked = true;
    }
    if (!sound_) {
        error = QStringLiteral("No sound to play");
        return false;
    }
    const pa_sample_spec sampleFormat = sampleFormatOf(sound_->format());
    if (!pa_sample_spec_valid(&sampleFormat)) {
        error = QStringLiteral("The sound output cannot play %1 Hz with %2 channels")
                    .arg(sampleFormat.rate)
                    .arg(sampleFormat.channels);
        return false;
    }
    if (!connectServer(error))
        return false;
    sound = std::move(sound_);
    prepareStream();
    if (!waitReady(error)) {
        close();
        return false;
    }
    return true;
}

bool PulseSoundOutput::play(qint64 from_, quint64 playId) {
    if (playing)
        stop();
    if (!sound)
        return false;
    if (stream == nullptr)
        prepareStream();
    QString ignored;
    if (!waitReady(ignored)) {
        dropStream();
        return false;
    }
    QElapsedTimer took;
    took.start();
    currentPlay = playId;
    const int frameBytes = std::max(1, sound->format().bytesPerFrame());
    from = std::clamp<qint64>(from_, 0, sound->available());
    from -= from % frameBytes;
    soundWritten = 0;
    silenceWritten = 0;
    lastPlayed = 0;
    playing = true;
    sinceProgress.start();
    sinceTiming.start();
    feed();
    startUSecs = took.nsecsElapsed() / 1000;
    if (playing)
        poll->start();
    return true;
}

qint64 PulseSoundOutput::playedBytes() {
    const pa_timing_info* info = pa_stream_get_timing_info(stream);
    if (info == nullptr || info->read_index_corrupt)
        return -1;
    int negative = 0;
    pa_usec_t latency = 0;
    if (pa_stream_get_latency(stream, &latency, &negative) == 0)
        lastSinkUSecs = negative != 0 ? 0 : qint64(latency);
    const pa_sample_spec* sampleFormat = pa_stream_get_sample_spec(stream);
    // What the server had read, less what its sink still held, when it
    // reported; carried on in time since then, but only so far: a server too
    // busy to report may also be too busy to play, and the end must never be
    // told before the sound has been heard.
    qint64 played = info->read_index -
                    qint64(pa_usec_to_bytes(info->sink_usec + info->transport_usec, sampleFormat));
    if (info->playing) {
        const qint64 age = std::clamp<qint64>(qint64(pa_timeval_age(&info->timestamp)), 0,
                                              qint64(ExtrapolateMs) * 1000);
        played += qint64(pa_usec_to_bytes(pa_usec_t(age), sampleFormat));
    }
    return std::max<qint64>(0, played);
}

void PulseSoundOutput::requestTiming() {
    if (timing != nullptr && pa_operation_get_state(timing) != PA_OPERATION_RUNNING)
        pa_operation_unref(std::exchange(timing, nullptr));
    // The server's own updates come further and further apart; while a
    // sound plays it is asked often, so that its end is seen in time.
    if (timing == nullptr && sinceTiming.elapsed() >= TimingMs) {
        timing = pa_stream_update_timing_info(stream, timingDone, nullptr);
        sinceTiming.restart();
    }
}

void PulseSoundOutput::feed() {
    if (!playing)
        return;
    qint64 played = -1;
    bool failed = stream == nullptr;
    bool reachedEnd = false;
    if (!failed) {
        Locked locked(mainloop);
        if (pa_stream_get_state(stream) != PA_STREAM_READY) {
            failed = true;
        } else {
            size_t room = pa_stream_writable_size(stream);
            if (room == static_cast<size_t>(-1))
                room = 0;
            // Once the decoder has finished, what is there is all there is.
            const bool complete = sound->isComplete();
            const qint64 soundEnd = sound->available();
            while (room > 0) {
                const qint64 chunk = std::min<qint64>(qint64(room), scratch.size());
                qint64 bytes = sound->read(from + soundWritten, scratch.data(), chunk);
                if (bytes > 0) {
                    soundWritten += bytes;
                } else if (complete) {
                    // After the sound: silence, so that the stream runs on
                    // until the server has played the last sample.
                    bytes = chunk;
                    std::memset(scratch.data(), 0, static_cast<size_t>(bytes));
                    silenceWritten += bytes;
                } else {
                    break; // the decoder is behind; the buffer bridges it
                }
                if (pa_stream_write(stream, scratch.constData(), static_cast<size_t>(bytes),
                                    nullptr, 0, PA_SEEK_RELATIVE) < 0) {
                    failed = true;
                    break;
                }
                room -= static_cast<size_t>(bytes);
            }
            requestTiming();
            played = playedBytes();
            reachedEnd = complete && from + soundWritten >= soundEnd && played >= soundWritten;
        }
    }
    if (played > lastPlayed) {
        lastPlayed = played;
        sinceProgress.restart();
    }
    const qint64 position = from + std::clamp<qint64>(lastPlayed, 0, soundWritten);
    if (reachedEnd) {
        finish(from + soundWritten);
        // The silence still queued must not delay a following play.
        dropStream();
        prepareStream();
    } else if (failed || sinceProgress.elapsed() > StallMs) {
        finish(position);
        dropStream();
    }
}

void PulseSoundOutput::finish(qint64 position) {
    poll->stop();
    playing = false;
    emit ended(currentPlay, position);
}

qint64 PulseSoundOutput::stop() {
    if (!playing)
        return from;
    poll->stop();
    playing = false;
    qint64 played = lastPlayed;
    if (stream != nullptr) {
        Locked locked(mainloop);
        if (pa_stream_get_state(stream) == PA_STREAM_READY)
            played = std::max(played, playedBytes());
    }
    qint64 position = from + std::clamp<qint64>(played, 0, soundWritten);
    position -= position % std::max(1, sound->format().bytesPerFrame());
    from = position;
    dropStream();
    prepareStream();
    return position;
}

void PulseSoundOutput::close() {
    playing = false;
    poll->stop();
    dropStream();
    sound.reset();
}
