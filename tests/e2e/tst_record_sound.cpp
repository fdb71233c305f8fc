// Recording with real sound: the real player plays each file into a private
// sound server while vokar-emu, at real time, records; the recorded messages
// must be as long as the files, and a recording must end with the sound.
#include "files/soundoutput.h"
#include "recordingrig.h"
#include "testsounds.h"

#include <QRegularExpression>
#include <QTest>
#include <sndfile.h>

namespace {
constexpr double RowSeconds = RecordingRig::RowSeconds;
constexpr double ProgressSeconds = RecordingRig::ProgressMs / 1000.0;
const double fileSeconds[] = {0.50, 0.65, 0.45};
// What the end of a recording may add beyond one progress interval: generous,
// the figures are in bench/record_bench.
constexpr double SlackSeconds = 0.3;

// How long, in all, the stand-in waited for the answers to its progress
// reports, from its log ("    0.812 out 32 30 ... | 2 00007", then the next
// "in" frame). Like the programmer, it holds its recording while it waits, so
// a message can come out that much shorter than its sound. On a machine that
// keeps pace this is a few milliseconds; a loaded one may pass an answer on
// through the pty a row late.
double secondsWaitedForAnswers(const QStringList& emuLog) {
    static const QRegularExpression frame(QStringLiteral("^\\s*([0-9.]+) (in |out) ([0-9A-F]{2})"));
    double waited = 0;
    double reportAt = -1;
    for (const QString& line : emuLog) {
        const QRegularExpressionMatch m = frame.match(line);
        if (!m.hasMatch())
            continue;
        const double at = m.captured(1).toDouble();
        if (m.captured(2) == QLatin1String("out")) {
            const QString code = m.captured(3);
            reportAt = code == QLatin1String("32") || code == QLatin1String("33") ? at : -1;
        } else if (reportAt >= 0) {
            waited += at - reportAt;
            reportAt = -1;
        }
    }
    return waited;
}
} // namespace

class TestRecordSound : public QObject {
    Q_OBJECT

private slots:
    void recordTableMakesMessagesAsLongAsTheFiles();
    void recordingWithoutStopAddressEndsWithTheSound_data();
    void recordingWithoutStopAddressEndsWithTheSound();
};

void TestRecordSound::recordTableMakesMessagesAsLongAsTheFiles() {
    NullSinkServer sound;
    QString error;
    QVERIFY2(sound.start(error), qPrintable(error));
    RecordingRig rig;
    QVERIFY(rig.start(sound));
    ProgramState& state = rig.state();

    for (int row = 1; row <= 3; ++row) {
        const QString file = rig.folder.file(QStringLiteral("tone%1.wav").arg(row));
        QVERIFY(TestSounds::writeToneWav(file, 8000, 1, fileSeconds[row - 1], SF_FORMAT_PCM_16));
        state.fileGrid.setCell(FileColumn::Start, row,
                               row == 1 ? QStringLiteral("00000") : QStringLiteral("not used"));
        state.fileGrid.setCell(FileColumn::Stop, row, QStringLiteral("not used"));
        state.fileGrid.setCell(FileColumn::File, row, file);
    }
    state.availability.UpdateMenu();
    sound.clearSound();
    rig.run("RecTable");
    QVERIFY(rig.prompter.messages.isEmpty());
    const bool recorded = NullSinkServer::waitFor([&] { return rig.idle(); }, 20000);
    if (!recorded) {
        qWarning("link state %d, player %s; the stand-in's log:", state.link.LinkState,
                 rig.soundPlayer.IsPlaying() ? "playing" : "not playing");
        for (const QString& line : rig.prompter.errors + rig.prompter.messages + rig.emu.log())
            qWarning("%s", qPrintable(line));
    }
    QVERIFY(recorded);
    QVERIFY(rig.prompter.messages.isEmpty());
    QVERIFY(rig.prompter.errors.isEmpty());
    QCOMPARE(rig.emu.log().filter(QStringLiteral("Record start")).size(), 3);
    QVERIFY(sound.heardSound());

    // The map of what the stand-in now holds, from a scan.
    rig.run("PlayfromISD2");
    QVERIFY(NullSinkServer::waitFor(
        [&] { return rig.idle() && !state.mapGrid.cell(MapColumn::Ovf, 4).isEmpty(); }, 20000));
    const double waited = secondsWaitedForAnswers(rig.emu.log());
    qInfo("the stand-in waited %.3f s in all for answers to its progress reports", waited);
    for (int row = 1; row <= 3; ++row) {
        const int start = state.mapGrid.cell(MapColumn::Start, row).toInt();
        const int eom = state.mapGrid.cell(MapColumn::Eom, row).toInt();
        const double seconds = (eom - start + 1) * RowSeconds;
        // The stop reaches the programmer with its next progress report, and
        // the last row is a whole row.
        qInfo("file %d: %.2f s, message rows %d-%d: %.2f s", row, fileSeconds[row - 1], start, eom,
              seconds);
        QVERIFY(seconds >= fileSeconds[row - 1] - RowSeconds - waited - 0.001);
        QVERIFY(seconds <= fileSeconds[row - 1] + ProgressSeconds + RowSeconds + 0.05);
        if (row > 1)
            QCOMPARE(start, state.mapGrid.cell(MapColumn::Eom, row - 1).toInt() + 1);
    }

    // Checking the table against the chip finds the same three records.
    QStringList scanned;
    for (int row = 1; row <= 3; ++row)
        scanned << state.mapGrid.cell(MapColumn::Start, row) + QLatin1Char('-') +
                       state.mapGrid.cell(MapColumn::Eom, row);
    rig.run("CheckRecords1");
    QVERIFY(NullSinkServer::waitFor(
        [&] { return rig.idle() && !state.mapGrid.cell(MapColumn::Start, 3).isEmpty(); }, 20000));
    QStringList checked;
    for (int row = 1; row <= 3; ++row)
        checked << state.mapGrid.cell(MapColumn::Start, row) + QLatin1Char('-') +
                       state.mapGrid.cell(MapColumn::Eom, row);
    QCOMPARE(checked, scanned);
    QCOMPARE(state.mapGrid.cell(MapColumn::Start, 4), QString());
}

void TestRecordSound::recordingWithoutStopAddressEndsWithTheSound_data() {
    QTest::addColumn<NullSinkServer::Setup>("setup");
    using Setup = NullSinkServer::Setup;
    for (Setup setup : {Setup::LowLatencyNullSink, Setup::DefaultPulseAudio, Setup::PipeWire})
        QTest::addRow("%s", qPrintable(NullSinkServer::nameOf(setup))) << setup;
}

void TestRecordSound::recordingWithoutStopAddressEndsWithTheSound() {
    QFETCH(NullSinkServer::Setup, setup);
    // Qt's list of audio devices stays with the first sound server the
    // process met (the one of the test above).
    if (SoundOutput::backend() == SoundOutput::Backend::Qt)
        QSKIP("the QAudioSink output plays on the first sound server of a run only");
    const QString missing = NullSinkServer::missingPrograms(setup);
    if (setup == NullSinkServer::Setup::PipeWire && !missing.isEmpty())
        QSKIP(qPrintable(QStringLiteral("PipeWire is not installed (%1): "
                                        "scripts/install-deps.sh installs it")
                             .arg(missing)));
    NullSinkServer sound(setup);
    QString error;
    QVERIFY2(sound.start(error), qPrintable(error));
    RecordingRig rig;
    QVERIFY(rig.start(sound));
    const double length = 1.5;
    const QString file = rig.folder.file(QStringLiteral("tone.wav"));
    QVERIFY(TestSounds::writeToneWav(file, 8000, 1, length, SF_FORMAT_PCM_16));

    QVERIFY(rig.recordOne(file));
    QVERIFY(sound.heardSound());
    QVERIFY(rig.notifiedAt >= 0 && rig.stopSentAt >= 0);
    // The player tells the end when the last sample has been played, and the
    // stop goes out with the next progress report.
    const double endAfter = (rig.notifiedAt - sound.lastSoundUSecs()) / 1e6;
    const double stopAfter = (rig.stopSentAt - rig.notifiedAt) / 1e6;
    const double waited = secondsWaitedForAnswers(rig.emu.log());
    const double seconds = rig.firstMessageSeconds();
    qInfo("%s: end told %.3f s after the last sample, stop sent %.3f s later, message %.2f s "
          "for %.2f s of sound; the stand-in waited %.3f s for answers",
          qPrintable(NullSinkServer::nameOf(setup)), endAfter, stopAfter, seconds, length, waited);
    // A machine that keeps the program from its answers keeps it from
    // telling the end just as long: the stand-in's waits bound that delay.
    QVERIFY2(endAfter >= -SlackSeconds && endAfter <= SlackSeconds + waited,
             qPrintable(QString::number(endAfter)));
    // The stand-in's reports come on time only as far as a busy machine
    // lets them; the bound leaves room for that.
    QVERIFY2(stopAfter <= ProgressSeconds + 2 * SlackSeconds,
             qPrintable(QString::number(stopAfter)));
    // A row less when the stop lands just inside the last one (rows times
    // 0.15 are not exact in binary, hence the millisecond).
    QVERIFY2(seconds >= length - RowSeconds - waited - 0.001, qPrintable(QString::number(seconds)));
    QVERIFY2(seconds <= length + ProgressSeconds + RowSeconds + SlackSeconds,
             qPrintable(QString::number(seconds)));
}

QTEST_MAIN(TestRecordSound)
#include "tst_record_sound.moc"
