#include "core/apperror.h"
#include "files/midirenderer.h"
#include "files/wavdecoder.h"
#include "plan/soundlengths.h"
#include "tempfolder.h"
#include "testsounds.h"

#include <QTest>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <dlfcn.h>
#include <fcntl.h>
#include <sndfile.h>

// Every close() of the process comes through here. One of a descriptor that
// is not open is a second close of it: with threads, that closes whatever file
// another thread has opened under the same number in between.
std::atomic<int> closesOfClosedDescriptors{0};

extern "C" int close(int fd) {
    static const auto next = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "close"));
    const int saved = errno;
    if (fd >= 0 && ::fcntl(fd, F_GETFD) < 0 && errno == EBADF)
        ++closesOfClosedDescriptors;
    errno = saved;
    return next(fd);
}

namespace {

int peakOf(const PcmClip& clip) {
    const auto* samples = reinterpret_cast<const qint16*>(clip.data.constData());
    const qsizetype count = clip.data.size() / 2;
    int peak = 0;
    for (qsizetype i = 0; i < count; ++i)
        peak = std::max(peak, std::abs(int(samples[i])));
    return peak;
}

// Seconds from the clip's start to its last sample above a whisper.
double soundingSeconds(const PcmClip& clip) {
    const auto* samples = reinterpret_cast<const qint16*>(clip.data.constData());
    const qsizetype count = clip.data.size() / 2;
    qsizetype last = -1;
    for (qsizetype i = 0; i < count; ++i) {
        if (std::abs(int(samples[i])) > 100)
            last = i;
    }
    return double(last / clip.format.channelCount() + 1) / clip.format.sampleRate();
}

} // namespace

class SoundDecodingTest : public QObject {
    Q_OBJECT
private slots:
    void everyWavEncodingDecodesToFullLevel16Bit_data();
    void everyWavEncodingDecodesToFullLevel16Bit();
    void moreThanTwoChannelsAreMixedToStereo();
    void filesThatAreNoSoundAreRefused_data();
    void filesThatAreNoSoundAreRefused();
    void midiRendersItsNoteAndEndsWhenTheVoiceHasDied();
    void midiLastsUntilItsLastTickEvenAfterTheLastNote();
    void midiInRiffWrappingRenders();
    void brokenMidiIsRefused_data();
    void brokenMidiIsRefused();
    void missingSoundFontIsRefused();
};

void SoundDecodingTest::everyWavEncodingDecodesToFullLevel16Bit_data() {
    QTest::addColumn<int>("subformat");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::newRow("8-bit unsigned") << int(SF_FORMAT_PCM_U8) << 8000 << 1;
    QTest::newRow("16-bit") << int(SF_FORMAT_PCM_16) << 44100 << 2;
    QTest::newRow("24-bit") << int(SF_FORMAT_PCM_24) << 48000 << 1;
    QTest::newRow("32-bit") << int(SF_FORMAT_PCM_32) << 22050 << 2;
    QTest::newRow("float") << int(SF_FORMAT_FLOAT) << 16000 << 1;
    QTest::newRow("A-law") << int(SF_FORMAT_ALAW) << 8000 << 1;
    QTest::newRow("mu-law") << int(SF_FORMAT_ULAW) << 8000 << 1;
    QTest::newRow("IMA ADPCM") << int(SF_FORMAT_IMA_ADPCM) << 11025 << 1;
    QTest::newRow("MS ADPCM") << int(SF_FORMAT_MS_ADPCM) << 8000 << 2;
}

void SoundDecodingTest::everyWavEncodingDecodesToFullLevel16Bit() {
    QFETCH(int, subformat);
    QFETCH(int, rate);
    QFETCH(int, channels);
    TempFolder folder;
    const QString path = folder.file(QStringLiteral("tone.wav"));
    QVERIFY(TestSounds::writeToneWav(path, rate, channels, 0.5, subformat));

    const PcmClip clip = WavDecoder::decode(path);

    QCOMPARE(clip.format.sampleRate(), rate);
    QCOMPARE(clip.format.channelCount(), channels);
    QCOMPARE(clip.format.sampleFormat(), QAudioFormat::Int16);
    // ADPCM rounds up to whole blocks of a few hundred frames.
    QVERIFY2(std::abs(clip.frames() - rate / 2) <= 1024,
             qPrintable(QString::number(clip.frames())));
    // The tone is written at half of full scale, whatever the encoding.
    const int peak = peakOf(clip);
    QVERIFY2(peak > 14000 && peak < 19000, qPrintable(QString::number(peak)));
}

void SoundDecodingTest::moreThanTwoChannelsAreMixedToStereo() {
    TempFolder folder;
    const QString path = folder.file(QStringLiteral("six.wav"));
    QVERIFY(TestSounds::writeToneWav(path, 48000, 6, 0.25, SF_FORMAT_PCM_16));

    const PcmClip clip = WavDecoder::decode(path);

    QCOMPARE(clip.format.channelCount(), 2);
    QCOMPARE(clip.frames(), qint64(12000));
    QVERIFY(peakOf(clip) > 14000);
}

void SoundDecodingTest::filesThatAreNoSoundAreRefused_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("exists");
    QTest::newRow("missing file") << QByteArray() << false;
    QTest::newRow("text named .wav") << QByteArray("Not a sound, just words.\r\n") << true;
    QTest::newRow("empty file") << QByteArray() << true;
    QTest::newRow("RIFF header only") << QByteArray("RIFF\x24\0\0\0WAVE", 12) << true;
}

void SoundDecodingTest::filesThatAreNoSoundAreRefused() {
    QFETCH(QByteArray, content);
    QFETCH(bool, exists);
    TempFolder folder;
    const QString path = folder.file(QStringLiteral("sound.wav"));
    if (exists)
        QVERIFY(TestSounds::writeFile(path, content));

    const int before = closesOfClosedDescriptors;
    QVERIFY_THROWS_EXCEPTION(AppError, WavDecoder::decode(path));
    MidiRenderer renderer;
    QCOMPARE(SoundLengths::measure(path, renderer), std::nullopt);
    // Each descriptor opened for the file is closed once, by its owner.
    QCOMPARE(closesOfClosedDescriptors - before, 0);
}

void SoundDecodingTest::midiRendersItsNoteAndEndsWhenTheVoiceHasDied() {
    MidiRenderer renderer;
    // Half a second of piano.
    const PcmClip clip = renderer.render(TestSounds::midiNote(480));

    QCOMPARE(clip.format.sampleRate(), MidiRenderer::SampleRate);
    QCOMPARE(clip.format.channelCount(), 2);
    QVERIFY(peakOf(clip) > 1500);
    const double sounding = soundingSeconds(clip);
    QVERIFY2(sounding > 0.45, qPrintable(QString::number(sounding)));
    // It ends with the note's release, not seconds later as FluidSynth's
    // player would say.
    const double length = double(clip.frames()) / clip.format.sampleRate();
    QVERIFY2(length < 2.0, qPrintable(QString::number(length)));
}

void SoundDecodingTest::midiLastsUntilItsLastTickEvenAfterTheLastNote() {
    MidiRenderer renderer;
    // Half a second of piano, then three seconds of rest in the file.
    const PcmClip clip = renderer.render(TestSounds::midiNote(480, 3 * 960));

    const double length = double(clip.frames()) / clip.format.sampleRate();
    QVERIFY2(length >= 3.5 && length < 3.6, qPrintable(QString::number(length)));
}

void SoundDecodingTest::midiInRiffWrappingRenders() {
    const QByteArray midi = TestSounds::midiNote(240);
    QByteArray riff = "RIFF" + QByteArray(4, 0) + "RMID" + "data";
    const quint32 size = static_cast<quint32>(midi.size());
    riff += QByteArray(reinterpret_cast<const char*>(&size), 4) + midi;
    MidiRenderer renderer;
    QVERIFY(MidiRenderer::looksLikeMidi(riff));

    const PcmClip clip = renderer.render(riff);

    QVERIFY(peakOf(clip) > 1500);
}

void SoundDecodingTest::brokenMidiIsRefused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("header only") << QByteArray::fromHex("4D546864000000060000000101E0");
    QTest::newRow("garbage after header") << QByteArray("MThd\0\0\0\x06garbage and more", 22);
    QTest::newRow("not MIDI at all") << QByteArray("RIFF....WAVEfmt ");
}

void SoundDecodingTest::brokenMidiIsRefused() {
    QFETCH(QByteArray, bytes);
    MidiRenderer renderer;
    QVERIFY_THROWS_EXCEPTION(AppError, renderer.render(bytes));
    // The renderer is still good for the next file.
    QVERIFY(peakOf(renderer.render(TestSounds::midiNote(240))) > 1500);
}

void SoundDecodingTest::missingSoundFontIsRefused() {
    TempFolder folder;
    MidiRenderer renderer(folder.file(QStringLiteral("none.sf2")));
    QVERIFY_THROWS_EXCEPTION(AppError, renderer.render(TestSounds::midiNote(240)));
}

QTEST_GUILESS_MAIN(SoundDecodingTest)
#include "tst_sounddecoding.moc"
