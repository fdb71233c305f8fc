#include "app/statusreporter.h"
#include "emuprogram.h"
#include "screenshot.h"

#include <QLabel>
#include <QStatusBar>
#include <QTest>

namespace {

// What the status bar says.
QString statusOf(MainWindow& window) {
    return window.statusBar()->findChild<QLabel*>(QStringLiteral("LinkStatus"))->text();
}

// The wired program on the stand-in's line, every status bar text it shows
// kept in order.
struct Bench : EmuProgram {
    QStringList shown;

    bool start(const QByteArray& image, const QString& timeScale = QStringLiteral("0.01")) {
        if (!EmuProgram::start({image, 1, timeScale, 2000, {}}))
            return false;
        QObject::connect(w().findChild<StatusReporter*>(), &StatusReporter::shown,
                         [this](const QString& text) { shown << text; });
        return emu.waitForGreetingAnswered();
    }
    QString status() { return statusOf(w()); }
    void scan() {
        run("PlayfromISD2");
        QTRY_COMPARE_WITH_TIMEOUT(state().mapGrid.cell(MapColumn::Ovf, 4), QStringLiteral("00400"),
                                  10000);
    }
};

const QByteArray threeMessages = "vokar-emu image\nchip 1\nmessage 0 99\nmessage 100 249\n"
                                 "message 250 299\n";

} // namespace

class TestStatusEmu : public QObject {
    Q_OBJECT

private slots:
    void connectedStartSaysWhere();
    void startWithoutProgrammerExplainsHowToConnect();
    void scanCountsMessagesAsTheyAreFound();
    void playTableCountsRecords();
    void recordTableNamesEachFileAndCountsThem();
};

void TestStatusEmu::connectedStartSaysWhere() {
    Bench b;
    QVERIFY(b.start(threeMessages));
    // Not how to connect, but where it is connected.
    QCOMPARE(b.status(), QStringLiteral("Connected to COM1 (%1)").arg(b.emu.device()));
}

void TestStatusEmu::startWithoutProgrammerExplainsHowToConnect() {
    TempFolder folder;
    folder.write(SettingsFile::name(), SettingsFile().autoOpen(false).text());
    SerialComPort port;
    FakePlayer player;
    FakePrompter prompter;
    Windows windows = createWindows(port, &player, prompter, QStringLiteral("isdvokar.fig"));
    QVERIFY(!port.Active());
    const QString text = statusOf(*windows.main);
    QCOMPARE(text, StatusReporter::notConnectedHint());
    QVERIFY(text.contains(QStringLiteral("Change comm port")));
    QVERIFY(text.contains(QStringLiteral("vokar-emu")));
    screenshot(*windows.main, QStringLiteral("status-first-start.png"));
}

void TestStatusEmu::scanCountsMessagesAsTheyAreFound() {
    Bench b;
    QVERIFY(b.start(threeMessages));
    b.scan();
    QTRY_COMPARE_WITH_TIMEOUT(b.status(), QStringLiteral("Scan finished: 3 messages found"), 5000);
    // Each end of message is counted where the next one starts.
    QVERIFY2(b.shown.contains(QStringLiteral("Scanning: 1 message found, row 100 of 399")),
             qPrintable(b.shown.join(QLatin1Char('|'))));
    QVERIFY(b.shown.contains(QStringLiteral("Scanning: 2 messages found, row 250 of 399")));
    QVERIFY(b.shown.contains(QStringLiteral("Scanning: 3 messages found, row 300 of 399")));
    QCOMPARE(b.shown.filter(QStringLiteral("Scan finished")).size(), 1);
    screenshot(b.w(), QStringLiteral("status-scan-finished.png"));
}

void TestStatusEmu::playTableCountsRecords() {
    Bench b;
    QVERIFY(b.start(threeMessages));
    b.scan();
    b.shown.clear();
    b.run("Playtable1");
    QTRY_COMPARE_WITH_TIMEOUT(b.status(), QStringLiteral("Played 4 records"), 20000);
    const QStringList expected = {
        QStringLiteral("Playing record 1 of 4"), QStringLiteral("Playing record 2 of 4"),
        QStringLiteral("Playing record 3 of 4"), QStringLiteral("Playing record 4 of 4"),
        QStringLiteral("Played 4 records")};
    QCOMPARE(b.shown, expected);
}

void TestStatusEmu::recordTableNamesEachFileAndCountsThem() {
    Bench b;
    // Slow enough that the chip does not fill while the clock is watched.
    QVERIFY(b.start("vokar-emu image\nchip 1\n", QStringLiteral("0.1")));
    const QString files[] = {QStringLiteral("/s/one.wav"), QStringLiteral("/s/two.wav"),
                             QStringLiteral("/s/three.wav")};
    for (int row = 1; row <= 3; ++row) {
        b.state().fileGrid.setCell(FileColumn::Start, row, QStringLiteral("not used"));
        b.state().fileGrid.setCell(FileColumn::Stop, row, QStringLiteral("not used"));
        b.state().fileGrid.setCell(FileColumn::File, row, files[row - 1]);
    }
    b.state().availability.UpdateMenu();
    b.run("RecTable");
    const QString names[] = {QStringLiteral("one.wav"), QStringLiteral("two.wav"),
                             QStringLiteral("three.wav")};
    for (int file = 1; file <= 3; ++file) {
        const QString prefix =
            QStringLiteral("Recording %1 of 3: %2 \u2014 ").arg(file).arg(names[file - 1]);
        QTRY_VERIFY_WITH_TIMEOUT(b.status().startsWith(prefix), 10000);
        // The clock runs on while the file plays.
        const QString first = b.status();
        QTRY_VERIFY_WITH_TIMEOUT(b.status() != first && b.status().startsWith(prefix), 10000);
        if (file == 2)
            screenshot(b.w(), QStringLiteral("status-recording.png"));
        QTRY_VERIFY_WITH_TIMEOUT(b.player.IsPlaying(), 10000);
        b.player.finish();
    }
    QTRY_COMPARE_WITH_TIMEOUT(b.status(), QStringLiteral("Recorded 3 files"), 20000);
    QCOMPARE(b.state().link.LinkState, 3);
}

QTEST_MAIN(TestStatusEmu)
#include "tst_status_emu.moc"
