#include "emulator.h"

#include "framelog.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QSaveFile>
#include <QSocketNotifier>
#include <QStringList>
#include <QTextStream>
#include <QThread>
#include <cstdio>
#include <unistd.h>

namespace {
// Babble is written in slices this often.
constexpr int BabbleTickMs = 10;
// While listening: how often recorded rows are given their levels, and how
// long after a row's end its sound is surely captured.
constexpr int LevelLookMs = 50;
constexpr int CaptureSettleMs = 150;
// How long a source is heard before the line is offered.
constexpr int ListenSettleMs = 1500;
// A byte that can neither start nor continue a reply.
constexpr char BabbleSafeByte = '\xA5';
} // namespace

Emulator::Emulator(const Options& options_, QObject* parent)
    : QObject(parent), options(options_), device(options_.chip),
      noise(options_.noiseRate, options_.noiseBytes, options_.seed),
      babbler(1.0, 1, options_.seed ^ 0x9E3779B9u) {
    device.progressIntervalMs = options.progressMs;
    device.silentCommand = options.silentCommand;
    device.strict = options.strict;
    device.onViolation = [this](const QString& line) { print(line); };
    if (noise.enabled()) {
        options.shaper.noise = &noise;
        options.shaper.onNoise = [this](const QByteArray& bytes, const char* where) {
            print(FrameLog::noiseLine(realMs(), bytes, QString::fromLatin1(where)));
        };
    }
    device.onCommand = [this](const QByteArray& frame) {
        print(FrameLog::inLine(realMs(), frame));
    };
    device.onReply = [this](const QByteArray& frame) { sendReply(frame); };
    levelTimer.setInterval(LevelLookMs);
    connect(&levelTimer, &QTimer::timeout, this, [this] { resolveLevels(false); });

    deviceTimer.setSingleShot(true);
    connect(&deviceTimer, &QTimer::timeout, this, &Emulator::tick);
    writeTimer.setSingleShot(true);
    connect(&writeTimer, &QTimer::timeout, this, &Emulator::pump);
    // A frame held for pairing goes out alone when no second one follows.
    pairTimer.setSingleShot(true);
    pairTimer.setInterval(500);
    connect(&pairTimer, &QTimer::timeout, this, [this] {
        outgoing.append(options.shaper.flushHeld());
        pump();
    });
    repeatTimer.setSingleShot(true);
    connect(&repeatTimer, &QTimer::timeout, this, &Emulator::repeatUnanswered);
    babbleTimer.setInterval(BabbleTickMs);
    connect(&babbleTimer, &QTimer::timeout, this, &Emulator::babbleTick);
    // Whether the program holds the port open is seen only by polling: the
    // master reports POLLHUP while it does not.
    peerTimer.setInterval(20);
    connect(&peerTimer, &QTimer::timeout, this, &Emulator::watchPeer);
}

bool Emulator::start(QString& error) {
    if (!line.create(error)) {
        error = QStringLiteral("cannot create a pseudo-terminal: ") + error;
        return false;
    }
    clock.start();
    if (!options.imageFile.isEmpty()) {
        QFile image(options.imageFile);
        if (image.open(QIODevice::ReadOnly) && !device.loadImage(image.readAll()))
            error = QStringLiteral("%1 is not a memory image of this chip; starting empty")
                        .arg(options.imageFile);
    }
    if (!options.listenSource.isEmpty()) {
        listener = std::make_unique<SoundListener>([this] { return realMs(); });
        if (!listener->start(options.listenSource, error))
            return false;
        // A null sink whose monitor has just been opened takes a while to
        // settle to the monitor's small latency; sound played before that
        // is held back. The line is offered once the source is heard steadily.
        const QDeadlineTimer deadline(ListenSettleMs + 5000);
        while (listener->heardUntilMs() < ListenSettleMs && !deadline.hasExpired())
            QThread::msleep(10);
        device.onRowRecorded = [this](int row, double from, double to) {
            rowRecorded(row, from, to);
        };
        levelTimer.start();
    }
    print(line.devicePath());
    if (!listener && !error.isEmpty()) {
        note(error);
        error.clear();
    }
    if (options.com > 0) {
        QString portsError;
        if (writePortsLine(portsError))
            note(QStringLiteral("COM%1=%2 written to %3")
                     .arg(options.com)
                     .arg(line.devicePath(), options.portsFile));
        else
            note(portsError);
    }
    note(device.chip().index == 0 ? QStringLiteral("no chip in the socket")
                                  : QStringLiteral("chip %1").arg(device.chip().index));
    if (options.strict)
        note(QStringLiteral(
            "strict: every command frame is judged, each fault on a line of its own"));
    if (noise.enabled())
        note(QStringLiteral(
                 "noise: rate %1, bursts of 1 to %2 bytes, seed %3 (replay with --seed %3)")
                 .arg(noise.rate())
                 .arg(noise.maxBytes())
                 .arg(noise.seed()));
    if (options.repeatUnansweredMs > 0)
        note(QStringLiteral("a progress report unanswered for %1 ms is sent again")
                 .arg(options.repeatUnansweredMs));
    if (listener)
        note(QStringLiteral("listening to %1: each recorded row keeps its level")
                 .arg(options.listenSource));

    lineNotifier = new QSocketNotifier(line.fd(), QSocketNotifier::Read, this);
    lineNotifier->setEnabled(false);
    connect(lineNotifier, &QSocketNotifier::activated, this, &Emulator::readLine);
    stdinNotifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(stdinNotifier, &QSocketNotifier::activated, this, &Emulator::readStdin);
    peerTimer.start();
    return true;
}

void Emulator::finish() {
    if (listener) {
        resolveLevels(true);
        listener->stop();
    }
    saveImage();
    if (options.strict)
        note(QStringLiteral("%1 protocol violations").arg(device.violationsFound()));
}

void Emulator::print(const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void Emulator::note(const QString& text) {
    print(FrameLog::noteLine(realMs(), text));
}

bool Emulator::writePortsLine(QString& error) const {
    const QString key = QStringLiteral("COM%1=").arg(options.com);
    QStringList lines;
    QFile old(options.portsFile);
    if (old.open(QIODevice::ReadOnly | QIODevice::Text)) {
        for (const QString& l : QString::fromLocal8Bit(old.readAll()).split(QLatin1Char('\n'))) {
            if (!l.trimmed().isEmpty() && !l.trimmed().startsWith(key, Qt::CaseInsensitive))
                lines << l.trimmed();
        }
    }
    lines << key + line.devicePath();
    QSaveFile file(options.portsFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        error = QStringLiteral("cannot write %1: %2").arg(options.portsFile, file.errorString());
        return false;
    }
    file.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toLocal8Bit());
    if (!file.commit()) {
        error = QStringLiteral("cannot write %1: %2").arg(options.portsFile, file.errorString());
        return false;
    }
    return true;
}

void Emulator::watchPeer() {
    if (hungUp)
        return;
    const bool open = line.peerOpen();
    if (open == peerWasOpen)
        return;
    peerWasOpen = open;
    lineNotifier->setEnabled(open);
    if (open) {
        note(QStringLiteral("port opened"));
        ++session;
        // Nothing from an earlier session may reach the new one; what the
        // program sent the moment it opened the port is its own, and kept.
        device.resetLine();
        outgoing.clear();
        device.advanceTo(deviceMs());
        if (noise.strikes())
            noiseLater(noise.delayMs(progressRealMs()));
        if (options.greet)
            device.announce();
    } else {
        note(QStringLiteral("port closed"));
        device.resetLine();
    }
}

void Emulator::readLine() {
    const QByteArray bytes = line.readAvailable();
    if (bytes.isEmpty()) {
        // The peer went away: stop listening until it comes back, or the
        // notifier would fire without end.
        if (!line.peerOpen()) {
            lineNotifier->setEnabled(false);
            watchPeer();
        }
        return;
    }
    device.advanceTo(deviceMs());
    device.receive(bytes);
    schedule();
}

void Emulator::tick() {
    device.advanceTo(deviceMs());
    schedule();
}

void Emulator::schedule() {
    const double due = device.nextEventAt();
    if (due < 0) {
        deviceTimer.stop();
        return;
    }
    const double waitMs = VokarDevice::TimeScale{options.timeScale}.realMs(due - device.now());
    deviceTimer.start(qMax(0, int(waitMs + 0.999)));
}

void Emulator::sendReply(const QByteArray& frame) {
    if (hungUp)
        return;
    if (!peerWasOpen) {
        print(FrameLog::outLine(realMs(), frame) + QStringLiteral(" (dropped: port closed)"));
        return;
    }
    print(FrameLog::outLine(realMs(), frame));
    outgoing.append(options.shaper.shape(frame));
    if (options.shaper.holding())
        pairTimer.start();
    else
        pairTimer.stop();
    if (!writeTimer.isActive())
        pump();
    // Somewhere before the next progress report is due, stray bytes.
    if (noise.strikes())
        noiseLater(noise.delayMs(progressRealMs()));
    if (options.repeatUnansweredMs > 0 && (frame[0] == '2' || frame[0] == '3'))
        repeatTimer.start(options.repeatUnansweredMs);
}

int Emulator::progressRealMs() const {
    return int(VokarDevice::TimeScale{options.timeScale}.realMs(options.progressMs));
}

void Emulator::noiseLater(int delayMs) {
    const QByteArray bytes = noise.burst();
    const int forSession = session;
    QTimer::singleShot(delayMs, this, [this, bytes, forSession] {
        if (forSession != session || !peerWasOpen || hungUp)
            return;
        print(FrameLog::noiseLine(realMs(), bytes, QStringLiteral("between replies")));
        // Behind whatever reply is still being written.
        outgoing.append({bytes, 0});
        if (!writeTimer.isActive())
            pump();
    });
}

void Emulator::repeatUnanswered() {
    if (!peerWasOpen || hungUp)
        return;
    device.advanceTo(deviceMs());
    if (!device.waitingForAnswer())
        return;
    note(QStringLiteral("progress report unanswered for %1 ms: sent again")
             .arg(options.repeatUnansweredMs));
    device.repeatProgress();
    schedule();
}

void Emulator::startBabble(double seconds, int bytesPerSecond) {
    babbleTicksLeft = qMax(1, int(seconds * 1000 / BabbleTickMs));
    babbleBytesPerTick = qMax(1, bytesPerSecond * BabbleTickMs / 1000);
    babbleWritten = 0;
    babbleRefused = 0;
    note(QStringLiteral("babbling for %1 s at %2 bytes a second")
             .arg(seconds)
             .arg(babbleBytesPerTick * 1000 / BabbleTickMs));
    babbleTimer.start();
}

void Emulator::babbleTick() {
    const bool going = peerWasOpen && !hungUp && --babbleTicksLeft > 0;
    // Never into a reply that is being written in pieces.
    if (going && outgoing.isEmpty() && !writeTimer.isActive()) {
        QByteArray bytes = babbler.bytes(babbleBytesPerTick);
        if (babbleHeadOpen)
            bytes.prepend(BabbleSafeByte);
        const int taken = line.writeSome(bytes);
        if (taken > 0) {
            // What the line took may stop in the middle of a head that the
            // generator closed only further on.
            const char last = bytes.at(taken - 1);
            babbleHeadOpen = LineNoise::isReplyCode(last) || (last >= '0' && last <= '9');
        }
        babbleWritten += taken;
        babbleRefused += bytes.size() - taken;
    }
    if (!going) {
        closeBabbleHead(false);
        babbleTimer.stop();
        note(QStringLiteral("babble ended: %1 bytes written, %2 not taken by the line")
                 .arg(babbleWritten)
                 .arg(babbleRefused));
    }
}

void Emulator::closeBabbleHead(bool waitForRoom) {
    if (!babbleHeadOpen)
        return;
    const QByteArray safe(1, BabbleSafeByte);
    // Waiting is for a reply, which waits for room on the line anyway; at
    // the end of a babble the line may stay full (no one reads it), and the
    // byte then goes before the next reply instead.
    if (waitForRoom ? line.write(safe) : line.writeSome(safe) == 1)
        babbleHeadOpen = false;
}

void Emulator::pump() {
    // A reply never follows the beginning of a head: the reader could not
    // tell where the reply starts.
    if (!outgoing.isEmpty())
        closeBabbleHead(true);
    while (!outgoing.isEmpty()) {
        ReplyShaper::Write& next = outgoing.first();
        if (next.pauseBeforeMs > 0) {
            const int pause = next.pauseBeforeMs;
            next.pauseBeforeMs = 0;
            writeTimer.start(pause);
            return;
        }
        line.write(next.bytes);
        // Tests wait for this before they send, so that no piece of an
        // earlier reply is still on its way.
        if (next.ofPieces > 1)
            note(QStringLiteral("reply written in %1 pieces").arg(next.ofPieces));
        outgoing.removeFirst();
    }
    if (options.shaper.hangupDue())
        hangUp();
    saveImage();
}

void Emulator::hangUp() {
    if (hungUp)
        return;
    hungUp = true;
    note(QStringLiteral("hanging up"));
    saveImage();
    line.close();
    QCoreApplication::exit(0);
}

void Emulator::rowRecorded(int row, double fromDeviceMs, double toDeviceMs) {
    const VokarDevice::TimeScale scale{options.timeScale};
    unheard.append({row, scale.realMs(fromDeviceMs), scale.realMs(toDeviceMs)});
}

void Emulator::resolveLevels(bool all) {
    if (!listener || unheard.isEmpty())
        return;
    const double heard = listener->heardUntilMs();
    bool changed = false;
    while (!unheard.isEmpty()) {
        const HeardRow next = unheard.first();
        if (!all && next.toMs + CaptureSettleMs > realMs() && next.toMs > heard)
            break;
        unheard.removeFirst();
        if (const std::optional<float> db = listener->levelDb(next.fromMs, next.toMs)) {
            device.setLevel(next.row, *db);
            changed = true;
        }
    }
    if (changed && !all)
        saveImage();
}

void Emulator::saveImage() {
    if (options.imageFile.isEmpty() || device.chip().index == 0)
        return;
    QSaveFile file(options.imageFile);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(device.saveImage());
        file.commit();
    }
}

void Emulator::readStdin() {
    char buffer[512];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) {
        // Standard input closed: keep serving the line.
        stdinNotifier->setEnabled(false);
        return;
    }
    stdinBuffer.append(buffer, int(n));
    int end;
    while ((end = stdinBuffer.indexOf('\n')) >= 0) {
        const QString command = QString::fromLocal8Bit(stdinBuffer.left(end)).trimmed();
        stdinBuffer.remove(0, end + 1);
        if (!command.isEmpty())
            control(command);
    }
}

void Emulator::control(const QString& text) {
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString verb = words.value(0).toLower();
    device.advanceTo(deviceMs());
    if (verb == QLatin1String("chip")) {
        bool ok = false;
        const int index = words.value(1).toInt(&ok);
        if (!ok || VokarDevice::chipFor(index).index == 0) {
            note(QStringLiteral("chip wants a catalogue index 1 to 50"));
            return;
        }
        device.insertChip(index);
        unheard.clear();
        note(QStringLiteral("chip %1 inserted, memory empty").arg(index));
    } else if (verb == QLatin1String("nochip")) {
        device.removeChip();
        unheard.clear();
        note(QStringLiteral("chip removed"));
    } else if (verb == QLatin1String("announce")) {
        device.announce();
    } else if (verb == QLatin1String("reply")) {
        const QString code = words.value(1);
        if (code.size() != 1) {
            note(QStringLiteral("reply wants a one-character code"));
            return;
        }
        const QString digit = words.value(3);
        device.inject(code.at(0).toLatin1(), words.value(2).toInt(),
                      digit.isEmpty() ? (code == QLatin1String(";") ? '0' : '\0')
                                      : digit.at(0).toLatin1());
    } else if (verb == QLatin1String("pair")) {
        // Two replies in one write, for the PC's framing.
        QByteArray both =
            VokarDevice::replyFrame(words.value(1, QStringLiteral("2")).at(0).toLatin1(),
                                    words.value(2).toInt()) +
            VokarDevice::replyFrame(words.value(3, QStringLiteral("2")).at(0).toLatin1(),
                                    words.value(4).toInt());
        print(FrameLog::outLine(realMs(), both.left(20)));
        print(FrameLog::outLine(realMs(), both.mid(20)));
        if (peerWasOpen)
            line.write(both);
    } else if (verb == QLatin1String("raw")) {
        // Any bytes, given in hexadecimal: "raw 32 30 30".
        const QByteArray bytes = QByteArray::fromHex(words.mid(1).join(QString()).toLatin1());
        note(QStringLiteral("raw ") + FrameLog::hex(bytes));
        if (peerWasOpen)
            line.write(bytes);
    } else if (verb == QLatin1String("noise")) {
        // Stray bytes now: "noise 7" writes seven.
        const QByteArray bytes = babbler.bytes(qBound(1, words.value(1).toInt(), 4096));
        print(FrameLog::noiseLine(realMs(), bytes, QStringLiteral("on demand")));
        if (peerWasOpen) {
            outgoing.append({bytes, 0});
            if (!writeTimer.isActive())
                pump();
        }
    } else if (verb == QLatin1String("babble")) {
        bool ok = false;
        const double seconds = words.value(1).toDouble(&ok);
        const int rate = words.size() > 2 ? words.value(2).toInt() : 5760;
        if (!ok || seconds <= 0 || rate <= 0) {
            note(QStringLiteral("babble wants seconds above 0 and bytes a second above 0"));
            return;
        }
        startBabble(seconds, rate);
    } else if (verb == QLatin1String("circular")) {
        device.reportCircularFail();
    } else if (verb == QLatin1String("map")) {
        resolveLevels(true);
        for (const QString& l : device.memoryMap().split(QLatin1Char('\n')))
            note(l);
    } else if (verb == QLatin1String("hangup")) {
        hangUp();
        return;
    } else if (verb == QLatin1String("quit")) {
        note(QStringLiteral("quit"));
        saveImage();
        QCoreApplication::exit(0);
        return;
    } else if (verb == QLatin1String("help")) {
        note(QStringLiteral("commands: chip N | nochip | announce | reply C [ADDRESS] [DIGIT] | "
                            "pair C1 A1 C2 A2 | raw HEX... | noise N | babble SECONDS "
                            "[BYTES_A_SECOND] | circular | map | hangup | quit"));
    } else {
        note(QStringLiteral("unknown command: %1").arg(text));
    }
    schedule();
}
