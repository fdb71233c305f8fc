#include "player.h"

#include "core/apperror.h"
#include "midirenderer.h"
#include "soundfile.h"
#include "soundoutput.h"
#include "wavdecoder.h"

#include <thread>
#include <unistd.h>

namespace {

// Pieces of a WAV file decoded before Open() returns: enough to know that
// the data can be read at all.
constexpr int FirstChunks = 1;
// The longest wait for the previous MIDI file's renderer to let go of the
// synthesizer; it stops within one block.
constexpr int MidiHandOverMs = 2000;

} // namespace

Player::Player(QObject* parent) : MediaPlayer(parent), midi(std::make_shared<MidiRenderer>()) {
    outputThread.setObjectName(QStringLiteral("sound output"));
    output = SoundOutput::create();
    output->moveToThread(&outputThread);
    connect(output, &SoundOutput::ended, this, &Player::onEnded, Qt::QueuedConnection);
    outputThread.start(QThread::TimeCriticalPriority);
}

Player::~Player() {
    // Decoding threads are told to stop and never waited for: one stuck in a
    // read of a hung disk must not keep the program from ending.
    if (current)
        current->cancel();
    if (midiJob)
        midiJob->cancel();
    // The output and its stream belong to the output thread and go with it.
    QMetaObject::invokeMethod(
        output, [o = output] { delete o; }, Qt::BlockingQueuedConnection);
    outputThread.quit();
    outputThread.wait();
}

QString Player::soundFont() const {
    return midi->soundFont();
}

void Player::setSoundFont(const QString& path) {
    finishMidiJob();
    midi->setSoundFont(path);
}

bool Player::takeNotifyRequest() {
    const bool notify = NotifyNext;
    NotifyNext = true;
    return notify;
}

Player::OutputFigures Player::outputFigures() const {
    OutputFigures figures;
    QMetaObject::invokeMethod(
        output,
        [&] {
            figures.startUSecs = output->lastStartUSecs();
            figures.bufferUSecs = output->bufferUSecs();
            figures.sinkUSecs = output->sinkLatencyUSecs();
        },
        Qt::BlockingQueuedConnection);
    return figures;
}

void Player::finishMidiJob() {
    if (!midiJob)
        return;
    midiJob->cancel();
    // A renderer that does not let go in time is left to its thread.
    if (!midiJob->waitComplete(MidiHandOverMs))
        midi = std::make_shared<MidiRenderer>(midi->soundFont());
    midiJob.reset();
}

std::shared_ptr<DecodedSound> Player::loadMidi(const QString& path) {
    const QByteArray bytes = MidiRenderer::readFile(path);
    finishMidiJob();
    midi->begin(bytes);
    QAudioFormat format;
    format.setSampleRate(MidiRenderer::SampleRate);
    format.setChannelCount(MidiRenderer::Channels);
    format.setSampleFormat(QAudioFormat::Int16);
    auto sound = std::make_shared<DecodedSound>(format);
    midiJob = sound;
    std::thread([renderer = midi, sound] {
        QByteArray block(MidiRenderer::BlockBytes, 0);
        QString failure;
        try {
            while (!sound->isCancelled()) {
                const int wrote = renderer->renderBlock(block.data());
                if (wrote == 0 || !sound->append(block.constData(), wrote))
                    break;
            }
        } catch (const AppError& error) {
            failure = error.message();
        }
        sound->finish(failure);
    }).detach();
    return sound;
}

std::shared_ptr<DecodedSound> Player::load(const QString& path) {
    QString reason;
    const int fd = SoundFile::openRegular(path, reason);
    if (fd < 0)
        throw AppError(reason);
    char head[12] = {};
    const ssize_t got = ::read(fd, head, sizeof head);
    ::close(fd);
    // The content decides, not the name: a MIDI file named .wav still plays.
    if (got > 0 && MidiRenderer::looksLikeMidi(QByteArray(head, int(got))))
        return loadMidi(path);

    auto decoder = std::make_shared<WavDecoder>(path);
    auto sound = std::make_shared<DecodedSound>(decoder->format());
    sound->setExpectedFrames(decoder->frames());
    if (decoder->decodeSome(*sound, FirstChunks))
        std::thread([decoder, sound] { decoder->decodeInto(*sound); }).detach();
    else if (sound->available() == 0 && !sound->failure().isEmpty())
        throw AppError(sound->failure());
    return sound;
}

void Player::Open() {
    takeNotifyRequest();
    closeFile();
    std::shared_ptr<DecodedSound> loaded = load(FileName);

    bool ok = false;
    QString error;
    const QByteArray device = OutputDevice;
    QMetaObject::invokeMethod(
        output, [&] { ok = output->open(loaded, device, error); }, Qt::BlockingQueuedConnection);
    if (!ok) {
        loaded->cancel();
        // A chosen output that is gone is no fault of the file's.
        if (!device.isEmpty() && error == SoundOutput::noSuchOutputText(device))
            throw AppError(error);
        throw AppError(QStringLiteral("Cannot play %1: %2").arg(FileName, error));
    }
    current = std::move(loaded);
    opened = true;
    position = 0;
}

void Player::Play() {
    const bool notify = takeNotifyRequest();
    // Playing on while already playing: the running playback keeps its one
    // notification.
    if (!opened || playing)
        return;
    if (current->isComplete() && position >= current->available())
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
    current->cancel();
    current.reset();
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
