#include "nullsinkserver.h"

#include "childprocess.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <QtEndian>
#include <cstdlib>
#include <mutex>
#include <pthread.h>
#include <pulse/pulseaudio.h>
#include <sched.h>

namespace {
constexpr int ServerStartMs = 10000;
// The null sink settles to the silent stream's latency within this much
// recorded sound.
constexpr int SettleMs = 2000;
constexpr int MonitorChunkMs = 5;
constexpr int IdleMonitorLatencyMs = 50;

// Wireplumber as a headless session needs: no devices to look for and no
// D-Bus portal to ask.
const char* const HeadlessWireplumber = R"(alsa_monitor.enabled = false
v4l2_monitor.enabled = false
libcamera_monitor.enabled = false
default_access.properties["enable-flatpak-portal"] = false
)";
} // namespace

// Records the sink's monitor inside this process, so that the recording asks
// the server for exactly the latency it is meant to (a record stream that asks
// for a latency holds the sink's latency down as much as a playing one does):
// - low latency: 5 ms, as the set-up intends;
// - PipeWire: none at all, in chunks of 5 ms;
// - default PulseAudio: 50 ms, above the 10 ms the player asks its sink to run
//   at, so it never holds the playing sink down. Asking nothing would leave
//   the idle null sink (kept awake by this recording) rendering two seconds
//   ahead, which it does not take back when a stream starts: every sound
//   would start two seconds late, which a user's sink, idle-suspended or able
//   to rewind, does not do.
class NullSinkServer::Monitor {
public:
    explicit Monitor(const QElapsedTimer& clock_) : clock(clock_) {}
    ~Monitor() { stop(); }

    bool start(const QString& server, const QString& source, int askLatencyMs, QString& error);
    void stop();

    mutable std::mutex lock;
    qint64 frames = 0;
    qint64 firstSoundFrame = -1;
    qint64 lastSoundFrame = -1;
    // Silence inside the sound: the sink ran dry (a loaded machine, a
    // late write) and played nothing for a while, then went on.
    qint64 gapFrames = 0;
    qint64 firstSoundAt = -1;
    qint64 lastSoundAt = -1;
    qint64 firstSoundArrival = -1;

private:
    static void wake(pa_context*, void* self) {
        pa_threaded_mainloop_signal(static_cast<Monitor*>(self)->mainloop, 0);
    }
    static void wakeStream(pa_stream*, void* self) {
        pa_threaded_mainloop_signal(static_cast<Monitor*>(self)->mainloop, 0);
    }
    static void readable(pa_stream*, size_t, void* self) { static_cast<Monitor*>(self)->read(); }
    bool waitUntil(const std::function<bool()>& done, int timeoutMs);
    void read();

    const QElapsedTimer& clock;
    pa_threaded_mainloop* mainloop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
};

bool NullSinkServer::Monitor::waitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > timeoutMs)
            return false;
        pa_threaded_mainloop_unlock(mainloop);
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
        pa_threaded_mainloop_lock(mainloop);
    }
    return true;
}

bool NullSinkServer::Monitor::start(const QString& server, const QString& source, int askLatencyMs,
                                    QString& error) {
    mainloop = pa_threaded_mainloop_new();
    if (mainloop == nullptr || pa_threaded_mainloop_start(mainloop) < 0) {
        error = QStringLiteral("no PulseAudio main loop");
        return false;
    }
    // Stamped on arrival: the stamps are only as good as the thread is quick,
    // on a machine busy with other work too.
    pa_threaded_mainloop_lock(mainloop);
    pa_threaded_mainloop_once_unlocked(
        mainloop,
        [](pa_threaded_mainloop*, void*) {
            sched_param param{};
            param.sched_priority = 3;
            pthread_setschedparam(pthread_self(), SCHED_RR, &param);
        },
        nullptr);
    pa_threaded_mainloop_unlock(mainloop);
    pa_threaded_mainloop_lock(mainloop);
    context = pa_context_new(pa_threaded_mainloop_get_api(mainloop), "monitor");
    pa_context_set_state_callback(context, wake, this);
    const QByteArray address = server.toLocal8Bit();
    bool ok =
        pa_context_connect(context, address.constData(), PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0 &&
        waitUntil(
            [&] {
                const auto state = pa_context_get_state(context);
                return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
            },
            ServerStartMs) &&
        pa_context_get_state(context) == PA_CONTEXT_READY;
    if (ok) {
        pa_sample_spec sampleFormat{PA_SAMPLE_S16LE, MonitorRate, 1};
        stream = pa_stream_new(context, "monitor", &sampleFormat, nullptr);
        pa_stream_set_state_callback(stream, wakeStream, this);
        pa_stream_set_read_callback(stream, readable, this);
        pa_buffer_attr attr{};
        attr.maxlength = static_cast<uint32_t>(-1);
        attr.fragsize = static_cast<uint32_t>(pa_usec_to_bytes(
            pa_usec_t(askLatencyMs > 0 ? askLatencyMs : MonitorChunkMs) * 1000, &sampleFormat));
        const auto flags = askLatencyMs > 0 ? PA_STREAM_ADJUST_LATENCY : PA_STREAM_NOFLAGS;
        const QByteArray device = source.toLocal8Bit();
        ok = pa_stream_connect_record(stream, device.constData(), &attr, flags) >= 0 &&
             waitUntil(
                 [&] {
                     const auto state = pa_stream_get_state(stream);
                     return state == PA_STREAM_READY || !PA_STREAM_IS_GOOD(state);
                 },
                 ServerStartMs) &&
             pa_stream_get_state(stream) == PA_STREAM_READY;
    }
    if (!ok)
        error = QStringLiteral("the monitor cannot be recorded: %1")
                    .arg(QString::fromLocal8Bit(pa_strerror(pa_context_errno(context))));
    pa_threaded_mainloop_unlock(mainloop);
    return ok;
}

void NullSinkServer::Monitor::stop() {
    if (mainloop == nullptr)
        return;
    pa_threaded_mainloop_lock(mainloop);
    if (stream != nullptr) {
        pa_stream_set_read_callback(stream, nullptr, nullptr);
        pa_stream_set_state_callback(stream, nullptr, nullptr);
        pa_stream_disconnect(stream);
        pa_stream_unref(stream);
        stream = nullptr;
    }
    if (context != nullptr) {
        pa_context_set_state_callback(context, nullptr, nullptr);
        pa_context_disconnect(context);
        pa_context_unref(context);
        context = nullptr;
    }
    pa_threaded_mainloop_unlock(mainloop);
    pa_threaded_mainloop_stop(mainloop);
    pa_threaded_mainloop_free(mainloop);
    mainloop = nullptr;
}

void NullSinkServer::Monitor::read() {
    const qint64 arrived = clock.nsecsElapsed() / 1000;
    const void* data = nullptr;
    size_t bytes = 0;
    while (pa_stream_peek(stream, &data, &bytes) == 0 && bytes > 0) {
        const qint64 count = qint64(bytes / 2);
        std::lock_guard<std::mutex> guard(lock);
        if (data != nullptr) {
            const auto* samples = static_cast<const uchar*>(data);
            for (qint64 i = 0; i < count; ++i) {
                const qint16 sample = qFromLittleEndian<qint16>(samples + 2 * i);
                if (std::abs(sample) < SoundThreshold)
                    continue;
                // A sample was played as long before the chunk's arrival as
                // the samples after it in the chunk last.
                const qint64 at = arrived - (count - 1 - i) * 1000000 / MonitorRate;
                const qint64 frame = frames + i;
                if (firstSoundFrame < 0) {
                    firstSoundFrame = frame;
                    firstSoundAt = at;
                    firstSoundArrival = arrived;
                } else if (frame - lastSoundFrame - 1 > GapFrames) {
                    gapFrames += frame - lastSoundFrame - 1;
                }
                lastSoundFrame = frame;
                lastSoundAt = at;
            }
        }
        frames += count;
        pa_stream_drop(stream);
    }
}

NullSinkServer::NullSinkServer(Setup setup, QObject* parent) : QObject(parent), kind(setup) {
    clock.start();
    for (QProcess* process : {&server, &sessionManager, &pulseService, &silence})
        endWithThisProcess(*process);
}

NullSinkServer::~NullSinkServer() {
    stop();
}

QString NullSinkServer::nameOf(Setup setup) {
    switch (setup) {
    case Setup::LowLatencyNullSink:
        return QStringLiteral("null sink at low latency");
    case Setup::DefaultPulseAudio:
        return QStringLiteral("default PulseAudio");
    case Setup::PipeWire:
        return QStringLiteral("PipeWire");
    }
    return QString();
}

QString NullSinkServer::missingPrograms(Setup setup) {
    QStringList needed{QStringLiteral("pactl")};
    if (setup == Setup::PipeWire)
        needed << QStringLiteral("pipewire") << QStringLiteral("wireplumber")
               << QStringLiteral("pipewire-pulse");
    else
        needed << QStringLiteral("pulseaudio") << QStringLiteral("pacat");
    QStringList missing;
    for (const QString& program : needed) {
        if (QStandardPaths::findExecutable(program).isEmpty())
            missing << program;
    }
    return missing.join(QStringLiteral(", "));
}

QString NullSinkServer::serverAddress() const {
    return QStringLiteral("unix:") + socket;
}

bool NullSinkServer::waitFor(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer waited;
    waited.start();
    while (!condition()) {
        if (waited.elapsed() > timeoutMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

QProcessEnvironment NullSinkServer::serverEnvironment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), folder.path());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder.filePath(QStringLiteral("run")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_STATE_HOME"), folder.filePath(QStringLiteral("state")));
    env.insert(QStringLiteral("PIPEWIRE_RUNTIME_DIR"), folder.filePath(QStringLiteral("run")));
    // Never the desktop's own session, whatever the test runs in.
    for (const char* name : {"PULSE_SERVER", "DBUS_SESSION_BUS_ADDRESS", "PIPEWIRE_REMOTE",
                             "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("PULSE_SERVER"), serverAddress());
    return env;
}

bool NullSinkServer::startProcess(QProcess& process, const QString& program,
                                  const QStringList& arguments, QString& error) {
    process.setProcessEnvironment(serverEnvironment());
    if (kind == Setup::PipeWire) {
        // Headless, PipeWire complains about the missing D-Bus on every
        // start; its log goes to the folder, and into the error if it fails.
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setStandardOutputFile(folder.filePath(program + QStringLiteral(".log")));
    } else {
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.setStandardOutputFile(QProcess::nullDevice());
    }
    process.start(program, arguments);
    if (!process.waitForStarted()) {
        error = program + QStringLiteral(" does not start: ") + process.errorString();
        return false;
    }
    return true;
}

bool NullSinkServer::runTool(const QString& program, const QStringList& arguments, QString& error) {
    QProcess tool;
    endWithThisProcess(tool);
    tool.setProcessEnvironment(serverEnvironment());
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(program, arguments);
    if (!tool.waitForFinished(ServerStartMs) || tool.exitStatus() != QProcess::NormalExit ||
        tool.exitCode() != 0) {
        error = program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')) +
                QStringLiteral(" failed: ") + QString::fromLocal8Bit(tool.readAll()).trimmed();
        return false;
    }
    return true;
}

bool NullSinkServer::start(QString& error) {
    if (!folder.isValid()) {
        error = QStringLiteral("no temporary folder");
        return false;
    }
    const QString missing = missingPrograms(kind);
    if (!missing.isEmpty()) {
        error = QStringLiteral("not installed: ") + missing;
        return false;
    }
    const QString runtime = folder.filePath(QStringLiteral("run"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const bool started = kind == Setup::PipeWire ? startPipeWire(error) : startPulseAudio(error);
    if (!started) {
        stop();
        return false;
    }
    qputenv("PULSE_SERVER", serverAddress().toLocal8Bit());

    const int monitorLatencyMs = kind == Setup::LowLatencyNullSink  ? MonitorChunkMs
                                 : kind == Setup::DefaultPulseAudio ? IdleMonitorLatencyMs
                                                                    : 0;
    // A server that has just made its socket may not take connections yet.
    QElapsedTimer connecting;
    connecting.start();
    for (;;) {
        monitor = std::make_unique<Monitor>(clock);
        if (monitor->start(serverAddress(), QStringLiteral("@DEFAULT_MONITOR@"), monitorLatencyMs,
                           error))
            break;
        if (connecting.elapsed() > ServerStartMs) {
            stop();
            return false;
        }
        monitor.reset();
        waitFor([] { return false; }, 50);
    }
    const int settle = kind == Setup::LowLatencyNullSink ? SettleMs : 200;
    if (!waitFor([&] { return recordedFrames() >= qint64(MonitorRate) * settle / 1000; },
                 SettleMs + ServerStartMs)) {
        error = QStringLiteral("the null sink's monitor records nothing");
        stop();
        return false;
    }
    clearSound();
    return true;
}

bool NullSinkServer::startPulseAudio(QString& error) {
    socket = folder.filePath(QStringLiteral("native"));
    // As root the server warns and runs in user mode all the same.
    if (!startProcess(
            server, QStringLiteral("pulseaudio"),
            {QStringLiteral("--daemonize=no"), QStringLiteral("--system=false"),
             QStringLiteral("-n"), QStringLiteral("--exit-idle-time=-1"),
             QStringLiteral("--use-pid-file=no"), QStringLiteral("--disable-shm=yes"),
             QStringLiteral("--log-level=error"), QStringLiteral("-L"),
             QStringLiteral("module-null-sink sink_name=vsink"), QStringLiteral("-L"),
             QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=") + socket,
             // As the server's own configuration has it: an idle sink is
             // suspended.
             QStringLiteral("-L"), QStringLiteral("module-suspend-on-idle")},
            error))
        return false;
    if (!waitFor([&] { return QFileInfo::exists(socket) || server.state() != QProcess::Running; },
                 ServerStartMs) ||
        server.state() != QProcess::Running) {
        error = QStringLiteral("pulseaudio did not open its socket");
        return false;
    }
    if (kind != Setup::LowLatencyNullSink)
        return true;
    silence.setStandardInputFile(QStringLiteral("/dev/zero"));
    return startProcess(silence, QStringLiteral("pacat"),
                        {QStringLiteral("--latency-msec=%1").arg(SinkLatencyMs),
                         QStringLiteral("-d"), QStringLiteral("vsink")},
                        error);
}

bool NullSinkServer::startPipeWire(QString& error) {
    const bool started = startPipeWireProcesses(error);
    if (!started) {
        for (const char* program : {"pipewire", "wireplumber", "pipewire-pulse"}) {
            QFile log(folder.filePath(QString::fromLatin1(program) + QStringLiteral(".log")));
            if (log.open(QIODevice::ReadOnly))
                error += QStringLiteral("\n%1: %2")
                             .arg(QString::fromLatin1(program),
                                  QString::fromLocal8Bit(log.readAll().right(600)).trimmed());
        }
    }
    return started;
}

bool NullSinkServer::startPipeWireProcesses(QString& error) {
    socket = folder.filePath(QStringLiteral("run/pulse/native"));
    const QString config = folder.filePath(QStringLiteral("config/wireplumber/main.lua.d"));
    QDir().mkpath(config);
    QFile headless(config + QStringLiteral("/60-headless.lua"));
    if (!headless.open(QIODevice::WriteOnly) || headless.write(HeadlessWireplumber) < 0) {
        error = QStringLiteral("cannot write the wireplumber settings");
        return false;
    }
    headless.close();
    // Wireplumber's own settings, less the Bluetooth part that needs the
    // system's D-Bus.
    QFile standard(QStringLiteral("/usr/share/wireplumber/wireplumber.conf"));
    QFile own(folder.filePath(QStringLiteral("config/wireplumber/wireplumber.conf")));
    if (standard.open(QIODevice::ReadOnly) && own.open(QIODevice::WriteOnly)) {
        for (const QByteArray& line : standard.readAll().split('\n')) {
            if (!line.contains("bluetooth.lua"))
                own.write(line + '\n');
        }
    }
    own.close();

    if (!startProcess(server, QStringLiteral("pipewire"), {}, error))
        return false;
    const QString core = folder.filePath(QStringLiteral("run/pipewire-0"));
    if (!waitFor([&] { return QFileInfo::exists(core) || server.state() != QProcess::Running; },
                 ServerStartMs) ||
        server.state() != QProcess::Running) {
        error = QStringLiteral("pipewire did not open its socket");
        return false;
    }
    if (!startProcess(sessionManager, QStringLiteral("wireplumber"), {}, error) ||
        !startProcess(pulseService, QStringLiteral("pipewire-pulse"), {}, error))
        return false;
    if (!waitFor(
            [&] { return QFileInfo::exists(socket) || pulseService.state() != QProcess::Running; },
            ServerStartMs) ||
        pulseService.state() != QProcess::Running) {
        error = QStringLiteral("pipewire-pulse did not open its socket");
        return false;
    }
    if (!runTool(QStringLiteral("pactl"),
                 {QStringLiteral("load-module"), QStringLiteral("module-null-sink"),
                  QStringLiteral("sink_name=vsink")},
                 error))
        return false;
    // Wireplumber makes the only sink the default one; the test must not
    // depend on how soon. The sink may not be known to it yet either.
    QElapsedTimer waited;
    waited.start();
    while (!runTool(QStringLiteral("pactl"),
                    {QStringLiteral("set-default-sink"), QStringLiteral("vsink")}, error)) {
        if (waited.elapsed() > ServerStartMs)
            return false;
        waitFor([] { return false; }, 50);
    }
    error.clear();
    if (sessionManager.state() != QProcess::Running) {
        error = QStringLiteral("wireplumber ended");
        return false;
    }
    return true;
}

void NullSinkServer::stop() {
    monitor.reset();
    // Each process is ended by its own id, the server last.
    for (QProcess* process : {&silence, &pulseService, &sessionManager, &server}) {
        if (process->state() == QProcess::NotRunning)
            continue;
        process->terminate();
        if (!process->waitForFinished(3000)) {
            process->kill();
            process->waitForFinished(3000);
        }
    }
}

qint64 NullSinkServer::recordedFrames() const {
    if (!monitor)
        return 0;
    std::lock_guard<std::mutex> guard(monitor->lock);
    return monitor->frames;
}

void NullSinkServer::clearSound() {
    if (!monitor)
        return;
    std::lock_guard<std::mutex> guard(monitor->lock);
    monitor->firstSoundFrame = monitor->lastSoundFrame = -1;
    monitor->gapFrames = 0;
    monitor->firstSoundAt = monitor->lastSoundAt = monitor->firstSoundArrival = -1;
}

bool NullSinkServer::heardSound() const {
    return firstSoundUSecs() >= 0;
}

double NullSinkServer::soundSeconds() const {
    if (!monitor)
        return 0.0;
    std::lock_guard<std::mutex> guard(monitor->lock);
    return monitor->firstSoundFrame >= 0
               ? double(monitor->lastSoundFrame - monitor->firstSoundFrame + 1) / MonitorRate
               : 0.0;
}

double NullSinkServer::heardSeconds() const {
    if (!monitor)
        return 0.0;
    std::lock_guard<std::mutex> guard(monitor->lock);
    return monitor->firstSoundFrame >= 0
               ? double(monitor->lastSoundFrame - monitor->firstSoundFrame + 1 -
                        monitor->gapFrames) /
                     MonitorRate
               : 0.0;
}

qint64 NullSinkServer::firstSoundUSecs() const {
    if (!monitor)
        return -1;
    std::lock_guard<std::mutex> guard(monitor->lock);
    return monitor->firstSoundAt;
}

qint64 NullSinkServer::lastSoundUSecs() const {
    if (!monitor)
        return -1;
    std::lock_guard<std::mutex> guard(monitor->lock);
    return monitor->lastSoundAt;
}

qint64 NullSinkServer::firstSoundArrivalUSecs() const {
    if (!monitor)
        return -1;
    std::lock_guard<std::mutex> guard(monitor->lock);
    return monitor->firstSoundArrival;
}
