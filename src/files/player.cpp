#include "player.h"

#include "core/apperror.h"
#include "outputdevices.h"
#include "soundoutput.h"
#include "wavdecoder.h"

#include <QFile>
#include <QFileInfo>

Player::Player(QObject* parent) : MediaPlayer(parent) {
    outputThread.setObjectName(QStringLiteral("sound output"));
    output = new SoundOutput;
    output->moveToThread(&outputThread);
    connect(output, &SoundOutput::ended, this, &Player::onEnded, Qt::QueuedConnection);
    outputThread.start(QThread::TimeCriticalPriority);
}

Player::~Player() {
    // The output and its stream belong to the output thread and go with it.
    QMetaObject::invokeMethod(
        output, [o = output] { delete o; }, Qt::BlockingQueuedConnection);
    outputThread.quit();
    outputThread.wait();
}

bool Player::takeNotifyRequest() {
    const bool notify = NotifyNext;
    NotifyNext = true;
    return notify;
}

qint64 Player::lastStartUSecs() const {
    qint64 result = 0;
    QMetaObject::invokeMethod(
        output, [&] { result = output->lastStartUSecs(); }, Qt::BlockingQueuedConnection);
    return result;
}

PcmClip Player::decode(const QString& path) {
    QFile file(path);
    if (path.isEmpty() || !QFileInfo(path).isFile())
        throw AppError(QStringLiteral("File not found: %1").arg(path));
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Cannot open %1: %2").arg(path, file.errorString()));
    const QByteArray head = file.read(12);
    file.close();
    // The content decides, not the name: a MIDI file named .wav still plays.
    if (MidiRenderer::looksLikeMidi(head))
        return midi.renderFile(path);
    return WavDecoder::decode(path);
}

void Player::Open() {
    takeNotifyRequest();
    closeFile();
    const QAudioDevice device = OutputDevices::find(OutputDevice);
    if (device.isNull())
        throw AppError(
            OutputDevice.isEmpty()
                ? QStringLiteral("No sound output device")
                : QStringLiteral("No sound output named %1").arg(QString::fromUtf8(OutputDevice)));
    PcmClip decoded = decode(FileName);

    bool ok = false;
    QString error;
    QMetaObject::invokeMethod(
        output, [&] { ok = output->open(device, decoded, error); }, Qt::BlockingQueuedConnection);
    if (!ok)
        throw AppError(error);
    sound = std::move(decoded);
    opened = true;
    position = 0;
}

void Player::Play() {
    const bool notify = takeNotifyRequest();
    // Playing on while already playing: the running playback keeps its one
    // notification.
    if (!opened || playing)
        return;
    if (position >= sound.data.size())
        position = 0;
    const quint64 id = ++playId;
    bool started = false;
    QMetaObject::invokeMethod(
        output, [&] { started = output->play(position, id); }, Qt::BlockingQueuedConnection);
    // A stream the sound system refuses is not reported, and no notification
    // follows.
    if (!started)
        return;
    playing = true;
    notifyThisPlay = notify;
}

void Player::Stop() {
    takeNotifyRequest();
    stopPlaying();
}

void Player::stopPlaying() {
    if (!playing)
        return;
    qint64 reached = 0;
    QMetaObject::invokeMethod(
        output, [&] { reached = output->stop(); }, Qt::BlockingQueuedConnection);
    position = reached;
    playing = false;
    // Like the end of the file, a stop is told through the event loop, after
    // Stop() has returned.
    if (notifyThisPlay)
        postNotify();
}

void Player::Close() {
    takeNotifyRequest();
    closeFile();
}

void Player::closeFile() {
    stopPlaying();
    if (!opened)
        return;
    QMetaObject::invokeMethod(
        output, [&] { output->close(); }, Qt::BlockingQueuedConnection);
    opened = false;
    sound = PcmClip();
    position = 0;
}

void Player::onEnded(quint64 endedId, qint64 endPosition) {
    // A playback already stopped from here has had its notification.
    if (!playing || endedId != playId)
        return;
    playing = false;
    position = endPosition;
    if (notifyThisPlay)
        emit OnNotify();
}

void Player::postNotify() {
    QMetaObject::invokeMethod(
        this, [this] { emit OnNotify(); }, Qt::QueuedConnection);
}
