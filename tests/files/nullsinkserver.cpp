#include "nullsinkserver.h"

#include "childprocess.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <QtEndian>
#include <cstdlib>

namespace {
constexpr int ServerStartMs = 10000;
// The null sink settles to the silent stream's latency within this much
// recorded sound.
constexpr int SettleMs = 2000;
} // namespace

NullSinkServer::NullSinkServer(QObject* parent) : QObject(parent) {
    clock.start();
    for (QProcess* process : {&server, &monitor, &silence})
        endWithThisProcess(*process);
    connect(&monitor, &QProcess::readyReadStandardOutput, this, &NullSinkServer::readMonitor);
}

NullSinkServer::~NullSinkServer() {
    stop();
}

QString NullSinkServer::serverAddress() const {
    return QStringLiteral("unix:") + folder.filePath(QStringLiteral("native"));
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

bool NullSinkServer::start(QString& error) {
    if (!folder.isValid()) {
        error = QStringLiteral("no temporary folder");
        return false;
    }
    const QString runtime = folder.filePath(QStringLiteral("run"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString socket = folder.filePath(QStringLiteral("native"));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), folder.path());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.filePath(QStringLiteral("config")));
    env.remove(QStringLiteral("PULSE_SERVER"));
    server.setProcessEnvironment(env);
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.setStandardOutputFile(QProcess::nullDevice());
    // As root the server warns and runs in user mode all the same.
    server.start(QStringLiteral("pulseaudio"),
                 {QStringLiteral("--daemonize=no"), QStringLiteral("--system=false"),
                  QStringLiteral("-n"), QStringLiteral("--exit-idle-time=-1"),
                  QStringLiteral("--use-pid-file=no"), QStringLiteral("--disable-shm=yes"),
                  QStringLiteral("--log-level=error"), QStringLiteral("-L"),
                  QStringLiteral("module-null-sink sink_name=vsink"), QStringLiteral("-L"),
                  QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=") + socket});
    if (!server.waitForStarted()) {
        error = QStringLiteral("pulseaudio does not start: ") + server.errorString();
        return false;
    }
    if (!waitFor([&] { return QFileInfo::exists(socket) || server.state() != QProcess::Running; },
                 ServerStartMs) ||
        server.state() != QProcess::Running) {
        error = QStringLiteral("pulseaudio did not open its socket");
        stop();
        return false;
    }
    qputenv("PULSE_SERVER", serverAddress().toLocal8Bit());

    silence.setStandardInputFile(QStringLiteral("/dev/zero"));
    if (!startClient(silence, QStringLiteral("pacat"),
                     {QStringLiteral("--latency-msec=%1").arg(SinkLatencyMs), QStringLiteral("-d"),
                      QStringLiteral("vsink")},
                     error))
        return false;
    if (!startClient(monitor, QStringLiteral("parec"),
                     {QStringLiteral("--latency-msec=5"), QStringLiteral("-d"),
                      QStringLiteral("vsink.monitor"), QStringLiteral("--raw"),
                      QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                      QStringLiteral("--rate=%1").arg(MonitorRate)},
                     error))
        return false;
    if (!waitFor([&] { return frames >= qint64(MonitorRate) * SettleMs / 1000; },
                 SettleMs + ServerStartMs) ||
        silence.state() != QProcess::Running) {
        error = QStringLiteral("the null sink's monitor records nothing");
        stop();
        return false;
    }
    clearSound();
    return true;
}

bool NullSinkServer::startClient(QProcess& process, const QString& program,
                                 const QStringList& arguments, QString& error) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PULSE_SERVER"), serverAddress());
    process.setProcessEnvironment(env);
    process.setReadChannel(QProcess::StandardOutput);
    process.start(program, arguments);
    if (!process.waitForStarted()) {
        error = program + QStringLiteral(" does not start: ") + process.errorString();
        stop();
        return false;
    }
    return true;
}

void NullSinkServer::stop() {
    // Each process is ended by its own id, the server last.
    for (QProcess* process : {&monitor, &silence, &server}) {
        if (process->state() == QProcess::NotRunning)
            continue;
        process->terminate();
        if (!process->waitForFinished(3000)) {
            process->kill();
            process->waitForFinished(3000);
        }
    }
}

void NullSinkServer::clearSound() {
    firstSoundFrame = lastSoundFrame = -1;
    firstSoundAt = lastSoundAt = firstSoundArrival = -1;
}

double NullSinkServer::soundSeconds() const {
    return heardSound() ? double(lastSoundFrame - firstSoundFrame + 1) / MonitorRate : 0.0;
}

void NullSinkServer::readMonitor() {
    const qint64 arrived = nowUSecs();
    pending += monitor.readAllStandardOutput();
    const qint64 count = pending.size() / 2;
    const auto* samples = reinterpret_cast<const uchar*>(pending.constData());
    for (qint64 i = 0; i < count; ++i) {
        const qint16 sample = qFromLittleEndian<qint16>(samples + 2 * i);
        if (std::abs(sample) < SoundThreshold)
            continue;
        // A sample was played as long before the chunk's arrival as the
        // samples after it in the chunk last.
        const qint64 at = arrived - (count - 1 - i) * 1000000 / MonitorRate;
        const qint64 frame = frames + i;
        if (firstSoundFrame < 0) {
            firstSoundFrame = frame;
            firstSoundAt = at;
            firstSoundArrival = arrived;
        }
        lastSoundFrame = frame;
        lastSoundAt = at;
    }
    frames += count;
    pending.remove(0, count * 2);
}
