#include "core/availability.h"
#include "core/commands.h"
#include "core/stringgrid.h"
#include "core/tablelayout.h"
#include "fakeplayer.h"
#include "fakeprompter.h"
#include "files/localplayback.h"
#include "link/linkstate.h"

#include <QTest>

namespace {

const QString notUsed = QStringLiteral("not used");

// The window state the playback handlers work on, with the fake player's end
// notification routed to playbackEnded as the window does it.
struct Bench {
    Commands commands;
    StringGrid fileGrid{FileColumn::Count, TableLayout::StartRows};
    StringGrid mapGrid{MapColumn::Count, TableLayout::StartRows};
    CommandAvailability availability{commands, fileGrid, mapGrid};
    LinkContext link;
    FakePlayer player;
    FakePrompter prompter;
    LocalPlayback playback{&player, fileGrid, availability, link, prompter};

    Bench() {
        QObject::connect(&player, &MediaPlayer::OnNotify, [this] { playback.playbackEnded(); });
        availability.applyStartState();
    }
    void addRow(int row, const QString& start, const QString& path) {
        fileGrid.setCell(FileColumn::Start, row, start);
        fileGrid.setCell(FileColumn::Stop, row, notUsed);
        fileGrid.setCell(FileColumn::File, row, path);
    }
    // The buttons of a table holding files, nothing playing.
    void tableLoaded() {
        addRow(1, QStringLiteral("00016"), QStringLiteral("/sounds/one.wav"));
        addRow(2, notUsed, QStringLiteral("/sounds/two.mid"));
        availability.UpdateMenu();
    }
    QStringList enabled(const QStringList& names) const {
        QStringList on;
        for (const QString& name : names) {
            if (commands.isEnabled(name))
                on.append(name);
        }
        return on;
    }
};

const QStringList playCommands = {
    QStringLiteral("OdtwarzajPlik"),    QStringLiteral("RecordISD"),
    QStringLiteral("RecordfiletoISD1"), QStringLiteral("RecTable"),
    QStringLiteral("PlayFile"),         QStringLiteral("CheckRecords1")};
const QStringList stopCommands = {QStringLiteral("SpeedButton7"), QStringLiteral("Stop2")};
const QStringList allCommands = playCommands + stopCommands;

// What the buttons show while nothing plays: play and record on, stop off.
void verifyStoppedButtons(const Bench& bench) {
    QCOMPARE(bench.enabled(allCommands), playCommands);
}

} // namespace

class LocalPlaybackTest : public QObject {
    Q_OBJECT
private slots:
    void playWithNothingToPlayDoesNothingButClearStopRequested_data();
    void playWithNothingToPlayDoesNothingButClearStopRequested();
    void playOpensTheSelectedRowsFileAndSwitchesToStop();
    void unopenableFileShowsFileNotFoundAndLeavesEverything();
    void withoutAPlayerTheFileCannotBeOpened();
    void listeningToTheEndRestoresButtonsWithoutStopRequest();
    void stopWhileListeningStopsAndRequestsStop();
    void stopWhileNothingPlaysOnlyTellsTheLinkToStop();
    void recordingPlaybackReachingItsEndRequestsStop();
};

void LocalPlaybackTest::playWithNothingToPlayDoesNothingButClearStopRequested_data() {
    QTest::addColumn<bool>("withTable");
    QTest::addColumn<int>("selectedRow");
    QTest::newRow("empty table") << false << 1;
    QTest::newRow("selected row below the table") << true << 5;
}

void LocalPlaybackTest::playWithNothingToPlayDoesNothingButClearStopRequested() {
    QFETCH(bool, withTable);
    QFETCH(int, selectedRow);
    Bench bench;
    if (withTable)
        bench.tableLoaded();
    bench.fileGrid.setRow(selectedRow);
    const QStringList before = bench.enabled(allCommands);
    bench.link.StopRequested = true;

    bench.playback.playFile();

    QVERIFY(bench.player.calls.isEmpty());
    QVERIFY(bench.prompter.messages.isEmpty());
    QCOMPARE(bench.enabled(allCommands), before);
    QCOMPARE(bench.link.IgnorePlayEnd, false);
    QCOMPARE(bench.link.StopRequested, false);
}

void LocalPlaybackTest::playOpensTheSelectedRowsFileAndSwitchesToStop() {
    Bench bench;
    bench.tableLoaded();
    bench.fileGrid.setRow(2);

    bench.playback.playFile();

    QCOMPARE(bench.player.calls,
             QStringList({QStringLiteral("Open /sounds/two.mid"), QStringLiteral("Play")}));
    QVERIFY(bench.player.IsPlaying());
    QCOMPARE(bench.enabled(allCommands),
             QStringList({QStringLiteral("CheckRecords1"), QStringLiteral("SpeedButton7"),
                          QStringLiteral("Stop2")}));
    QCOMPARE(bench.link.IgnorePlayEnd, true);
    QCOMPARE(bench.link.StopRequested, false);
    QVERIFY(bench.prompter.messages.isEmpty());
}

void LocalPlaybackTest::unopenableFileShowsFileNotFoundAndLeavesEverything() {
    Bench bench;
    bench.tableLoaded();
    bench.player.missing.append(QStringLiteral("/sounds/one.wav"));
    bench.fileGrid.setRow(1);
    bench.link.StopRequested = true;

    bench.playback.playFile();

    QCOMPARE(bench.prompter.messages, QStringList({QStringLiteral("File not found")}));
    QCOMPARE(bench.player.calls, QStringList({QStringLiteral("Open /sounds/one.wav")}));
    verifyStoppedButtons(bench);
    QCOMPARE(bench.link.IgnorePlayEnd, false);
    QCOMPARE(bench.link.StopRequested, true);
}

void LocalPlaybackTest::withoutAPlayerTheFileCannotBeOpened() {
    Bench bench;
    bench.tableLoaded();
    LocalPlayback withoutPlayer(nullptr, bench.fileGrid, bench.availability, bench.link,
                                bench.prompter);

    withoutPlayer.playFile();

    QCOMPARE(bench.prompter.messages, QStringList({QStringLiteral("File not found")}));
    verifyStoppedButtons(bench);
}

void LocalPlaybackTest::listeningToTheEndRestoresButtonsWithoutStopRequest() {
    Bench bench;
    bench.tableLoaded();
    bench.playback.playFile();

    bench.player.finish();

    QVERIFY(!bench.player.IsPlaying());
    verifyStoppedButtons(bench);
    QCOMPARE(bench.link.StopRequested, false);
    QCOMPARE(bench.link.IgnorePlayEnd, false);
}

void LocalPlaybackTest::stopWhileListeningStopsAndRequestsStop() {
    Bench bench;
    bench.tableLoaded();
    bench.playback.playFile();
    bench.link.LinkState = LinkContext::StateRecording;
    int notifications = 0;
    QObject::connect(&bench.player, &MediaPlayer::OnNotify, [&] { ++notifications; });

    bench.playback.stopPlayback();

    QCOMPARE(bench.player.calls.last(), QStringLiteral("Stop"));
    QVERIFY(!bench.player.IsPlaying());
    QCOMPARE(notifications, 1);
    verifyStoppedButtons(bench);
    QCOMPARE(bench.link.LinkState, int(LinkContext::StateIdle));
    QCOMPARE(bench.link.StopRequested, true);
    // The notification of the stopped playback has used up the flag.
    QCOMPARE(bench.link.IgnorePlayEnd, false);
}

void LocalPlaybackTest::stopWhileNothingPlaysOnlyTellsTheLinkToStop() {
    Bench bench;
    bench.tableLoaded();
    // A chip operation runs with its own buttons.
    bench.commands.setEnabled({Control::StopPlaybackButton, Control::RecordFileButton}, false);
    bench.commands.setEnabled({Control::StopPlaybackItem}, true);
    const QStringList before = bench.enabled(allCommands);
    bench.link.LinkState = LinkContext::StateScanning;
    bench.link.StopRequested = false;

    bench.playback.stopPlayback();

    QVERIFY(!bench.player.calls.contains(QStringLiteral("Stop")));
    QCOMPARE(bench.enabled(allCommands), before);
    QCOMPARE(bench.link.LinkState, int(LinkContext::StateIdle));
    QCOMPARE(bench.link.StopRequested, true);
    QCOMPARE(bench.link.IgnorePlayEnd, false);
}

void LocalPlaybackTest::recordingPlaybackReachingItsEndRequestsStop() {
    Bench bench;
    bench.tableLoaded();
    // As the recording does it: open, then play once the programmer records.
    bench.player.FileName = QStringLiteral("/sounds/one.wav");
    bench.player.Open();
    bench.link.LinkState = LinkContext::StateRecording;
    bench.link.StopRequested = false;
    bench.link.IgnorePlayEnd = false;
    bench.player.Play();

    bench.player.finish();

    QCOMPARE(bench.link.StopRequested, true);
    QCOMPARE(bench.link.IgnorePlayEnd, false);
    QCOMPARE(bench.link.LinkState, int(LinkContext::StateRecording));
    verifyStoppedButtons(bench);
}

QTEST_MAIN(LocalPlaybackTest)
#include "tst_localplayback.moc"
