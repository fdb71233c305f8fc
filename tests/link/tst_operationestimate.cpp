#include "chips/chipcontrol.h"
#include "core/paneltexts.h"
#include "core/stringgrid.h"
#include "core/tablelayout.h"
#include "fakecomport.h"
#include "link/commandframe.h"
#include "link/linkstate.h"
#include "link/operationestimate.h"

#include <QTest>

// How far a long operation has come and the time it still takes, as the
// status bar's progress bar shows them, read off the window's state while
// the operation moves on.
class TestOperationEstimate : public QObject {
    Q_OBJECT

private slots:
    void tableRecordingGoesBySoundLengths_data();
    void tableRecordingGoesBySoundLengths();
    void unknownLengthShowsProgressWithoutFigures();
    void scanAndCheckGoByTheirPace_data();
    void scanAndCheckGoByTheirPace();
    void silentProgrammerHoldsTheBar_data();
    void silentProgrammerHoldsTheBar();
    void idleAndOtherOperationsShowNoBar();
    void timeLeftText_data();
    void timeLeftText();
};

namespace {

// The state the estimate reads: four files of 1, 2, 3 and 4 seconds, an
// ISD 33060 (rows 0 to 399), a clock the test moves.
struct Window {
    PanelTexts panel;
    CommandFrame frame;
    FakeComPort port;
    LinkContext link;
    ChipControl chip{panel, frame, port};
    StringGrid files{FileColumn::Count, 20};
    qint64 now = 0;
    QHash<QString, qint64> lengths;
    OperationEstimate estimate{{link, chip, files},
                               [this] { return now; },
                               [this](const QString& path) -> std::optional<qint64> {
                                   if (!lengths.contains(path))
                                       return std::nullopt;
                                   return lengths.value(path);
                               }};

    Window() {
        chip.ChipType = 1;
        chip.ApplyChipType();
        for (int row = 1; row <= 4; ++row) {
            const QString path = QStringLiteral("/s/%1.wav").arg(row);
            files.setCell(FileColumn::Start, row, QStringLiteral("not used"));
            files.setCell(FileColumn::File, row, path);
            lengths.insert(path, row * 1000);
        }
    }
};

} // namespace

void TestOperationEstimate::tableRecordingGoesBySoundLengths_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<qint64>("msInRow");
    QTest::addColumn<double>("done");
    QTest::addColumn<qint64>("leftMs");
    // 10 s in all.
    QTest::newRow("start") << 1 << qint64(0) << 0.0 << qint64(10000);
    QTest::newRow("half the first file") << 1 << qint64(500) << 0.05 << qint64(9500);
    QTest::newRow("third file begins") << 3 << qint64(0) << 0.3 << qint64(7000);
    QTest::newRow("last file, 1 s in") << 4 << qint64(1000) << 0.7 << qint64(3000);
    // A file that plays longer than measured holds at its end.
    QTest::newRow("first file overruns") << 1 << qint64(5000) << 0.1 << qint64(9000);
}

void TestOperationEstimate::tableRecordingGoesBySoundLengths() {
    QFETCH(int, row);
    QFETCH(qint64, msInRow);
    QFETCH(double, done);
    QFETCH(qint64, leftMs);
    Window w;
    QVERIFY(!w.estimate.update().shown);
    // The table has come to `row`; its clock runs on.
    w.link.LinkState = LinkContext::StateRecordingTable;
    w.link.TableRow = row;
    w.now = 5000;
    QVERIFY(w.estimate.update().shown);
    w.now += msInRow;
    const OperationEstimate::Estimate e = w.estimate.update();
    QVERIFY(e.shown);
    QVERIFY2(qAbs(e.done - done) < 1e-9, qPrintable(QString::number(e.done)));
    QCOMPARE(e.leftMs, leftMs);
}

void TestOperationEstimate::unknownLengthShowsProgressWithoutFigures() {
    Window w;
    w.lengths.remove(QStringLiteral("/s/3.wav"));
    w.link.LinkState = LinkContext::StateRecordingTable;
    OperationEstimate::Estimate e = w.estimate.update();
    QVERIFY(e.shown);
    QVERIFY(e.done < 0);
    QVERIFY(e.leftMs < 0);
    // Measured meanwhile: the figures come.
    w.lengths.insert(QStringLiteral("/s/3.wav"), 3000);
    e = w.estimate.update();
    QCOMPARE(e.leftMs, qint64(10000));
}

void TestOperationEstimate::scanAndCheckGoByTheirPace_data() {
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("reached"); // address for a scan, table row for a check
    QTest::addColumn<double>("done");
    QTest::addColumn<qint64>("leftMs");
    // 4 s after the start: a quarter of the way leaves 12 s.
    QTest::newRow("scan at row 100 of 400")
        << int(LinkContext::StateScanning) << 100 << 0.25 << qint64(12000);
    QTest::newRow("scan at its start") << int(LinkContext::StateScanning) << 0 << 0.0 << qint64(-1);
    QTest::newRow("check, third of four records")
        << int(LinkContext::StateChecking) << 3 << 0.5 << qint64(4000);
}

void TestOperationEstimate::scanAndCheckGoByTheirPace() {
    QFETCH(int, state);
    QFETCH(int, reached);
    QFETCH(double, done);
    QFETCH(qint64, leftMs);
    Window w;
    w.link.LinkState = state;
    w.link.TableRow = 1;
    w.link.ReplyAddress = 0;
    w.now = 2000;
    w.estimate.update();
    w.now = 6000;
    if (state == LinkContext::StateScanning)
        w.link.ReplyAddress = quint16(reached);
    else
        w.link.TableRow = reached;
    const OperationEstimate::Estimate e = w.estimate.update();
    QVERIFY(e.shown);
    QVERIFY2(qAbs(e.done - done) < 1e-9, qPrintable(QString::number(e.done)));
    QCOMPARE(e.leftMs, leftMs);
}

void TestOperationEstimate::silentProgrammerHoldsTheBar_data() {
    QTest::addColumn<int>("state");
    QTest::addColumn<double>("held");
    QTest::addColumn<double>("after"); // once it answers again, 2 s later
    QTest::newRow("table recording") << int(LinkContext::StateRecordingTable) << 0.05 << 0.1;
    QTest::newRow("scan") << int(LinkContext::StateScanning) << 0.25 << 0.25;
}

// The programmer has not answered for a while: the sound may play on, but
// nothing says the chip takes it, so the bar claims no more than before.
void TestOperationEstimate::silentProgrammerHoldsTheBar() {
    QFETCH(int, state);
    QFETCH(double, held);
    QFETCH(double, after);
    Window w;
    w.link.LinkState = state;
    w.link.TableRow = 1;
    w.link.ReplyAddress = 0;
    w.now = 1000;
    w.estimate.update();
    w.now += 500;
    w.link.ReplyAddress = 100;
    QVERIFY(qAbs(w.estimate.update().done - held) < 1e-9);
    w.link.ProgrammerSilent = true;
    w.now += 2000;
    OperationEstimate::Estimate e = w.estimate.update();
    QVERIFY(e.shown);
    QVERIFY2(qAbs(e.done - held) < 1e-9, qPrintable(QString::number(e.done)));
    QCOMPARE(e.leftMs, qint64(-1));
    w.link.ProgrammerSilent = false;
    e = w.estimate.update();
    QVERIFY2(qAbs(e.done - after) < 1e-9, qPrintable(QString::number(e.done)));
    QVERIFY(e.leftMs > 0);
}

void TestOperationEstimate::idleAndOtherOperationsShowNoBar() {
    Window w;
    for (int state : {LinkContext::StateIdle, LinkContext::StatePlaying,
                      LinkContext::StatePlayingTable, LinkContext::StateErasing}) {
        w.link.LinkState = state;
        QVERIFY2(!w.estimate.update().shown, qPrintable(QString::number(state)));
    }
}

void TestOperationEstimate::timeLeftText_data() {
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<QString>("text");
    QTest::newRow("under a second rounds up") << qint64(1) << QStringLiteral("0:01 left");
    QTest::newRow("42 s") << qint64(42000) << QStringLiteral("0:42 left");
    QTest::newRow("12 min 5 s") << qint64(725000) << QStringLiteral("12:05 left");
    QTest::newRow("nothing") << qint64(0) << QStringLiteral("0:00 left");
}

void TestOperationEstimate::timeLeftText() {
    QFETCH(qint64, ms);
    QTEST(OperationEstimate::leftText(ms), "text");
}

QTEST_GUILESS_MAIN(TestOperationEstimate)
#include "tst_operationestimate.moc"
