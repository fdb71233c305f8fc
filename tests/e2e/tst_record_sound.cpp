// Recording with real sound: the real player plays each file into a private
// PulseAudio null sink while vokar-emu, at real time, records; the recorded
// messages must be as long as the files.
#include "emuprogram.h"
#include "files/player.h"
#include "nullsinkserver.h"
#include "testsounds.h"

#include <QDeadlineTimer>
#include <QTest>

#include <sndfile.h>

namespace {
constexpr double RowSeconds = 0.150; // ISD 33060: 60 s over 400 rows
constexpr double ProgressSeconds = 0.100;
const double fileSeconds[] = {0.50, 0.65, 0.45};
} // namespace

class TestRecordSound : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void recordTableMakesMessagesAsLongAsTheFiles();

private:
    NullSinkServer sound;
};

void TestRecordSound::initTestCase() {
    QString error;
    QVERIFY2(sound.start(error), qPrintable(error));
}

void TestRecordSound::recordTableMakesMessagesAsLongAsTheFiles() {
    // The stand-in at real time, the real player.
    Player player;
    EmuProgram program;
    QVERIFY(program.start({QByteArray(), 1, QStringLiteral("1"), 100, {}}, SettingsFile().text(),
                          &player));
    QVERIFY(program.emu.waitForGreetingAnswered());
    const TempFolder& folder = program.folder;
    EmuProcess& emu = program.emu;
    FakePrompter& prompter = program.prompter;
    MainWindow& w = program.w();

    for (int row = 1; row <= 3; ++row) {
        const QString file = folder.file(QStringLiteral("tone%1.wav").arg(row));
        QVERIFY(TestSounds::writeToneWav(file, 8000, 1, fileSeconds[row - 1], SF_FORMAT_PCM_16));
        w.state().fileGrid.setCell(FileColumn::Start, row,
                                   row == 1 ? QStringLiteral("00000") : QStringLiteral("not used"));
        w.state().fileGrid.setCell(FileColumn::Stop, row, QStringLiteral("not used"));
        w.state().fileGrid.setCell(FileColumn::File, row, file);
    }
    w.state().availability.UpdateMenu();
    sound.clearSound();
    w.state().commands.action(QStringLiteral("RecTable"))->trigger();
    QVERIFY(prompter.messages.isEmpty());
    const bool recorded =
        NullSinkServer::waitFor([&] { return w.state().link.LinkState == 3; }, 20000);
    if (!recorded) {
        qWarning("link state %d, player %s; the stand-in's log:", w.state().link.LinkState,
                 player.IsPlaying() ? "playing" : "not playing");
        for (const QString& line : prompter.errors + prompter.messages + emu.log())
            qWarning("%s", qPrintable(line));
    }
    QVERIFY(recorded);
    QVERIFY(prompter.messages.isEmpty());
    QVERIFY(prompter.errors.isEmpty());
    QCOMPARE(emu.log().filter(QStringLiteral("Record start")).size(), 3);
    QVERIFY(sound.heardSound());

    // The map of what the stand-in now holds, from a scan.
    w.state().commands.action(QStringLiteral("PlayfromISD2"))->trigger();
    QVERIFY(NullSinkServer::waitFor(
        [&] {
            return w.state().link.LinkState == 3 &&
                   !w.state().mapGrid.cell(MapColumn::Ovf, 4).isEmpty();
        },
        20000));
    for (int row = 1; row <= 3; ++row) {
        const int start = w.state().mapGrid.cell(MapColumn::Start, row).toInt();
        const int eom = w.state().mapGrid.cell(MapColumn::Eom, row).toInt();
        const double recorded = (eom - start + 1) * RowSeconds;
        // The stop reaches the programmer with its next progress report, and
        // the last row is a whole row.
        qInfo("file %d: %.2f s, message rows %d-%d: %.2f s", row, fileSeconds[row - 1], start, eom,
              recorded);
        QVERIFY(recorded >= fileSeconds[row - 1] - RowSeconds);
        QVERIFY(recorded <= fileSeconds[row - 1] + ProgressSeconds + RowSeconds + 0.05);
        if (row > 1)
            QCOMPARE(start, w.state().mapGrid.cell(MapColumn::Eom, row - 1).toInt() + 1);
    }

    // Checking the table against the chip finds the same three records.
    QStringList scanned;
    for (int row = 1; row <= 3; ++row)
        scanned << w.state().mapGrid.cell(MapColumn::Start, row) + QLatin1Char('-') +
                       w.state().mapGrid.cell(MapColumn::Eom, row);
    w.state().commands.action(QStringLiteral("CheckRecords1"))->trigger();
    QVERIFY(NullSinkServer::waitFor(
        [&] {
            return w.state().link.LinkState == 3 &&
                   !w.state().mapGrid.cell(MapColumn::Start, 3).isEmpty();
        },
        20000));
    QStringList checked;
    for (int row = 1; row <= 3; ++row)
        checked << w.state().mapGrid.cell(MapColumn::Start, row) + QLatin1Char('-') +
                       w.state().mapGrid.cell(MapColumn::Eom, row);
    QCOMPARE(checked, scanned);
    QCOMPARE(w.state().mapGrid.cell(MapColumn::Start, 4), QString());
}

QTEST_MAIN(TestRecordSound)
#include "core/tablelayout.h"
#include "tst_record_sound.moc"
