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
    void endingTellsFinishedFromStopped_data();
    void endingTellsFinishedFromStopped();
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

    w.link.LinkState = LinkContext::StateRecordingTable;
    w.link.TableRow = 1;
    w.player.FileName = QStringLiteral("/s/1.wav");
    QVERIFY(w.progress.update().startsWith(QStringLiteral("Recording 1 of 3: 1.wav")));
    QVERIFY(w.progress.recording());
    w.now = 3250;
    QVERIFY(w.progress.update().endsWith(QStringLiteral("00:03.2 of 00:07.5")));

    // The next row starts its own clock.
    w.link.TableRow = 2;
    w.player.FileName = QStringLiteral("/s/2.wav");
    QVERIFY(w.progress.update().startsWith(QStringLiteral("Recording 2 of 3: 2.wav")));
    w.now = 4250;
    QVERIFY(w.progress.update().endsWith(QStringLiteral("00:01.0 of 00:07.5")));

    // The table ends at the first row without a file.
    w.link.TableRow = 4;
    w.link.LinkState = LinkContext::StateIdle;
    QCOMPARE(w.progress.update(), QStringLiteral("Recorded 3 files"));
    QVERIFY(!w.progress.recording());
}

void TestLinkProgress::endingTellsFinishedFromStopped_data() {
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("stopped");
    QTest::addColumn<QString>("expected");
    QTest::newRow("scan ends") << int(LinkContext::StateScanning) << false
                               << QStringLiteral("Scan finished: 2 messages found");
    QTest::newRow("scan stopped") << int(LinkContext::StateScanning) << true
                                  << QStringLiteral("Scan stopped");
    QTest::newRow("play table ends")
        << int(LinkContext::StatePlayingTable) << false << QStringLiteral("Played 2 records");
    QTest::newRow("play table stopped")
        << int(LinkContext::StatePlayingTable) << true << QStringLiteral("Playing stopped");
    QTest::newRow("recording stopped")
        << int(LinkContext::StateRecording) << true << QStringLiteral("Recording stopped");
    QTest::newRow("recording ends")
        << int(LinkContext::StateRecording) << false << QStringLiteral("Recorded 1.wav");
    QTest::newRow("erase ends") << int(LinkContext::StateErasing) << false
                                << QStringLiteral("Chip erased");
}

void TestLinkProgress::endingTellsFinishedFromStopped() {
    QFETCH(int, state);
    QFETCH(bool, stopped);
    QFETCH(QString, expected);
    Window w;
    w.fileGrid.setCell(FileColumn::File, 1, QStringLiteral("/s/1.wav"));
    w.player.FileName = QStringLiteral("/s/1.wav");
    // Two messages in the map, then the free space after them.
    w.mapGrid.setCell(MapColumn::Start, 1, QStringLiteral("00000"));
    w.mapGrid.setCell(MapColumn::Eom, 1, QStringLiteral("00099"));
    w.mapGrid.setCell(MapColumn::Start, 2, QStringLiteral("00100"));
    w.mapGrid.setCell(MapColumn::Eom, 2, QStringLiteral("00199"));
    w.link.LinkState = state;
    w.link.TableRow = 3;
    QVERIFY(!w.progress.update().isEmpty());
    if (stopped)
        w.progress.stopRequested();
    w.link.LinkState = LinkContext::StateIdle;
    QCOMPARE(w.progress.update(), expected);
    // A stop asked while idle belongs to no operation.
    w.progress.stopRequested();
    w.link.LinkState = state;
    w.progress.update();
    w.link.LinkState = LinkContext::StateIdle;
    QVERIFY(!w.progress.update().contains(QStringLiteral("stopped")));
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
