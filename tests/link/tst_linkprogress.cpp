#include "chips/chipcontrol.h"
#include "core/paneltexts.h"
#include "core/stringgrid.h"
#include "core/tablelayout.h"
#include "fakecomport.h"
#include "fakeplayer.h"
#include "link/commandframe.h"
#include "link/linkprogress.h"
#include "link/linkstate.h"
#include "link/progresstext.h"

#include <QTest>

// The status texts, and how the observer reads them off the window's state
// as an operation starts, moves on and ends.
class TestLinkProgress : public QObject {
    Q_OBJECT

private slots:
    void textsReadAsTheUserSeesThem_data();
    void textsReadAsTheUserSeesThem();
    void recordingTableCountsFilesAndTicksItsClock();
    void endingClaimsOnlyWhatHappened_data();
    void endingClaimsOnlyWhatHappened();
    void silenceAndNoiseAreTold();
    void sameTextIsNotShownTwice();
};

void TestLinkProgress::textsReadAsTheUserSeesThem_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    using namespace ProgressText;
    const QString dash = QStringLiteral(" \u2014 ");
    QTest::newRow("table recording") << recording(2, 5, QStringLiteral("bell.wav"), 3200, 7500)
                                     << QStringLiteral("Recording 2 of 5: bell.wav") + dash +
                                            QStringLiteral("00:03.2 of 00:07.5");
    QTest::newRow("single file, length unknown")
        << recording(1, 1, QStringLiteral("a.mid"), 61050, 0)
        << QStringLiteral("Recording a.mid") + dash + QStringLiteral("01:01.0");
    QTest::newRow("scan") << scanning(7, 1040, 2399)
                          << QStringLiteral("Scanning: 7 messages found, row 1040 of 2399");
    QTest::newRow("scan, one message")
        << scanning(1, 5, 399) << QStringLiteral("Scanning: 1 message found, row 5 of 399");
    QTest::newRow("play table") << playingRecord(3, 9) << QStringLiteral("Playing record 3 of 9");
    QTest::newRow("recorded files") << recordedFiles(5) << QStringLiteral("Recorded 5 files");
    QTest::newRow("recorded one file") << recordedFiles(1) << QStringLiteral("Recorded 1 file");
    QTest::newRow("scan stopped") << scanStopped() << QStringLiteral("Scan stopped");
    QTest::newRow("scan finished")
        << scanFinished(3) << QStringLiteral("Scan finished: 3 messages found");
    QTest::newRow("played") << playedRecords(9) << QStringLiteral("Played 9 records");
    QTest::newRow("clock rounds down to tenths") << clock(599999) << QStringLiteral("09:59.9");
}

void TestLinkProgress::textsReadAsTheUserSeesThem() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(text, expected);
}

namespace {

struct Window {
    PanelTexts panel;
    CommandFrame frame;
    FakeComPort port;
    LinkContext link;
    ChipControl chip{panel, frame, port};
    StringGrid fileGrid{FileColumn::Count, 20};
    StringGrid mapGrid{MapColumn::Count, 20};
    FakePlayer player;
    qint64 now = 0;
    qint64 duration = 0;
    LinkProgress progress{{link, chip, fileGrid, mapGrid, player},
                          [this] { return now; },
                          [this] { return duration; }};
};

} // namespace

void TestLinkProgress::recordingTableCountsFilesAndTicksItsClock() {
    Window w;
    for (int row = 1; row <= 3; ++row)
        w.fileGrid.setCell(FileColumn::File, row, QStringLiteral("/s/%1.wav").arg(row));
    w.duration = 7500;
    QCOMPARE(w.progress.update(), QString());
    QVERIFY(!w.progress.recording());

    // As "Record table to ISD" starts it.
    w.link.StopRequested = false;
    w.link.LinkState = LinkContext::StateRecordingTable;
    w.link.TableRow = 1;
    w.player.FileName = QStringLiteral("/s/1.wav");
    QVERIFY(w.progress.update().startsWith(QStringLiteral("Recording 1 of 3: 1.wav")));
    QVERIFY(w.progress.recording());
    w.now = 3250;
    QVERIFY(w.progress.update().endsWith(QStringLiteral("00:03.2 of 00:07.5")));

    // The next row starts its own clock.
    ++w.link.RecordingsConfirmed;
    w.link.TableRow = 2;
    w.player.FileName = QStringLiteral("/s/2.wav");
    QVERIFY(w.progress.update().startsWith(QStringLiteral("Recording 2 of 3: 2.wav")));
    w.now = 4250;
    QVERIFY(w.progress.update().endsWith(QStringLiteral("00:01.0 of 00:07.5")));

    // The table ends at the first row without a file, each row confirmed.
    w.link.RecordingsConfirmed += 2;
    w.link.TableRow = 4;
    w.link.LinkState = LinkContext::StateIdle;
    QCOMPARE(w.progress.update(), QStringLiteral("Recorded 3 files"));
    QVERIFY(!w.progress.recording());
}

void TestLinkProgress::endingClaimsOnlyWhatHappened_data() {
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("stopped");
    // What the replies did while the operation ran.
    QTest::addColumn<int>("recordingsConfirmed");
    QTest::addColumn<int>("erasesConfirmed");
    QTest::addColumn<int>("failures");
    QTest::addColumn<QString>("expected");
    const int scan = LinkContext::StateScanning, check = LinkContext::StateChecking,
              table = LinkContext::StatePlayingTable, play = LinkContext::StatePlaying,
              recording = LinkContext::StateRecording,
              recordingTable = LinkContext::StateRecordingTable,
              erasing = LinkContext::StateErasing;
    const auto row = [](const char* name, int state, bool stopped, int confirmed, int erased,
                        int failures, const char* expected) {
        QTest::newRow(name) << state << stopped << confirmed << erased << failures
                            << QString::fromUtf8(expected);
    };
    row("scan ends", scan, false, 0, 0, 0, "Scan finished: 2 messages found");
    row("scan stopped", scan, true, 0, 0, 0, "Scan stopped");
    row("scan ended by an address error", scan, false, 0, 0, 1, "Scan not completed");
    row("check ends", check, false, 0, 0, 0, "Check finished: 2 records found");
    row("check ended by no device", check, false, 0, 0, 1, "Check not completed");
    row("play table ends", table, false, 0, 0, 0, "Played 2 records");
    row("play table stopped", table, true, 0, 0, 0, "Playing stopped");
    row("play ended by the port closing", play, false, 0, 0, 1, "Playing not completed");
    row("recording stopped", recording, true, 0, 0, 0, "Recording stopped");
    row("recording confirmed", recording, false, 1, 0, 0, "Recorded 1.wav");
    row("recording never confirmed", recording, false, 0, 0, 0, "Recording not completed");
    row("recording ended by overflow", recording, false, 0, 0, 1, "Recording not completed");
    row("table of one, confirmed", recordingTable, false, 1, 0, 0, "Recorded 1 file");
    row("table of one, not confirmed", recordingTable, false, 0, 0, 1, "Recorded 0 of 1 file");
    row("erase confirmed", erasing, false, 0, 1, 0, "Chip erased");
    row("erase never confirmed", erasing, false, 0, 0, 1, "Erase not completed");
    row("erase stopped", erasing, true, 0, 0, 0, "Erase stopped");
}

void TestLinkProgress::endingClaimsOnlyWhatHappened() {
    QFETCH(int, state);
    QFETCH(bool, stopped);
    QFETCH(int, recordingsConfirmed);
    QFETCH(int, erasesConfirmed);
    QFETCH(int, failures);
    QFETCH(QString, expected);
    Window w;
    w.fileGrid.setCell(FileColumn::File, 1, QStringLiteral("/s/1.wav"));
    w.player.FileName = QStringLiteral("/s/1.wav");
    // Two messages in the map, then the free space after them.
    w.mapGrid.setCell(MapColumn::Start, 1, QStringLiteral("00000"));
    w.mapGrid.setCell(MapColumn::Eom, 1, QStringLiteral("00099"));
    w.mapGrid.setCell(MapColumn::Start, 2, QStringLiteral("00100"));
    w.mapGrid.setCell(MapColumn::Eom, 2, QStringLiteral("00199"));
    // What earlier operations did is not this one's.
    w.link.RecordingsConfirmed = 5;
    w.link.ErasesConfirmed = 2;
    w.link.OperationsFailed = 3;
    w.link.StopRequested = false;
    w.link.LinkState = state;
    w.link.TableRow = 3;
    QVERIFY(!w.progress.update().isEmpty());
    w.link.RecordingsConfirmed += recordingsConfirmed;
    w.link.ErasesConfirmed += erasesConfirmed;
    w.link.OperationsFailed += failures;
    // Both Stop commands leave the link idle with the stop requested.
    w.link.StopRequested = stopped;
    w.link.LinkState = LinkContext::StateIdle;
    QCOMPARE(w.progress.update(), expected);
}

void TestLinkProgress::silenceAndNoiseAreTold() {
    Window w;
    QCOMPARE(w.progress.noiseNote(), QString());
    w.link.LinkState = LinkContext::StatePlaying;
    w.link.CurrentAddress = 40;
    QCOMPARE(w.progress.update(), QStringLiteral("Playing from row 40"));
    w.link.ProgrammerSilent = true;
    QCOMPARE(w.progress.update(), QStringLiteral("The programmer has not answered for 3 s"));
    w.link.ProgrammerSilent = false;
    QCOMPARE(w.progress.update(), QStringLiteral("Playing from row 40"));
    w.link.NoiseBytesDropped = 1;
    QCOMPARE(w.progress.noiseNote(), QStringLiteral("line noise: 1 byte dropped"));
    w.link.NoiseBytesDropped = 12;
    QCOMPARE(w.progress.noiseNote(), QStringLiteral("line noise: 12 bytes dropped"));
}

void TestLinkProgress::sameTextIsNotShownTwice() {
    Window w;
    w.link.LinkState = LinkContext::StateScanning;
    w.link.ReplyAddress = 10;
    QCOMPARE(w.progress.update(), QStringLiteral("Scanning: 0 messages found, row 10 of 399"));
    QCOMPARE(w.progress.update(), QString());
    w.link.ReplyAddress = 20;
    QCOMPARE(w.progress.update(), QStringLiteral("Scanning: 0 messages found, row 20 of 399"));
}

QTEST_GUILESS_MAIN(TestLinkProgress)
#include "tst_linkprogress.moc"
