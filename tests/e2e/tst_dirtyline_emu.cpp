// The dirty-line matrix: every chip operation of the wired program against a
// strict stand-in, with stray bytes on the line (before the first reply, right
// before replies, between them) and with replies that come two in one
// delivery (the greeting among them). Every operation must end as it ends on a clean line, the chip
// must hold what it should, and no message or error box may appear. The
// program commands at once: no greeting is waited for. docs/RELIABILITY.md
// lists the matrix and its results.
#include "emuprogram.h"

#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <functional>

namespace {

// The wired program with the real port on the stand-in's line; the player
// is a fake that plays until the test ends the file.
struct Bench : EmuProgram {
    // The most bytes one delivery brought.
    int largestDelivery = 0;

    // `chip` is in the socket and chosen in the program; `progressMs` is the
    // stand-in's report interval in chip time. Nothing is waited for.
    bool start(const QStringList& line, int chip, int progressMs, const QByteArray& image) {
        QObject::connect(&port, &ComPort::OnRxChar, &port,
                         [this](int count) { largestDelivery = qMax(largestDelivery, count); });
        return EmuProgram::start({image, chip, QStringLiteral("0.01"), progressMs, line},
                                 SettingsFile().chipType(chip).text());
    }

    ProgramState& s() { return state(); }
    QString status() {
        return w().statusBar()->findChild<QLabel*>(QStringLiteral("LinkStatus"))->text();
    }
    QByteArray image() { return folder.read(QStringLiteral("chip.img")); }
    QStringList loggedLines(const QString& text) { return emu.log().filter(text); }
    void addFile(int row, const char* start, const char* stop, const char* file) {
        s().fileGrid.setCell(FileColumn::Start, row, QString::fromLatin1(start));
        s().fileGrid.setCell(FileColumn::Stop, row, QString::fromLatin1(stop));
        s().fileGrid.setCell(FileColumn::File, row, QString::fromLatin1(file));
        s().availability.UpdateMenu();
    }
    void addRecord(int row, const char* start, const char* eom, const char* ovf = "") {
        s().mapGrid.setCell(MapColumn::Start, row, QString::fromLatin1(start));
        s().mapGrid.setCell(MapColumn::Eom, row, QString::fromLatin1(eom));
        s().mapGrid.setCell(MapColumn::Ovf, row, QString::fromLatin1(ovf));
    }
    // Waits for the operation to end as the status bar tells it.
    bool endsWith(const QString& text, int timeoutMs = 30000) {
        if (QTest::qWaitFor([&] { return status() == text && s().link.LinkState == 3; }, timeoutMs))
            return true;
        qWarning("status \"%s\", state %d; the stand-in's log:\n%s", qPrintable(status()),
                 s().link.LinkState, qPrintable(emu.log().join(QLatin1Char('\n'))));
        return false;
    }
    QString map(int col, int row) { return s().mapGrid.cell(col, row); }
};

const QByteArray threeMessages = "vokar-emu image\nchip 1\nmessage 0 99\nmessage 100 249\n"
                                 "message 250 299\n";

// One operation of the matrix: started at once, then checked.
struct Operation {
    int chip;
    int progressMs;
    QByteArray image;
    std::function<void(Bench&)> run;
};

void recordOneFile(Bench& b) {
    b.addFile(1, "00000", "00060", "/s/a.wav");
    b.run("RecordISD");
    QVERIFY(b.endsWith(QStringLiteral("Recorded a.wav")));
    QTRY_COMPARE(b.image(), QByteArray("vokar-emu image\nchip 1\nmessage 0 60\n"));
    QCOMPARE(b.s().panel.address(), QStringLiteral("00061"));
    QCOMPARE(b.s().panel.addressHex(), QStringLiteral("003D"));
    QVERIFY(!b.player.IsPlaying());
    QCOMPARE(b.player.calls.filter(QStringLiteral("Play")).size(), 1);
}

void recordTableOfThree(Bench& b) {
    b.addFile(1, "00000", "00030", "/s/a.wav");
    b.addFile(2, "not used", "not used", "/s/b.wav");
    b.addFile(3, "00200", "00240", "/s/c.wav");
    b.run("RecTable");
    // The second file has no stop address: it is recorded until its playback
    // ends, after a report or two.
    QVERIFY(QTest::qWaitFor(
        [&] {
            return b.player.IsPlaying() && b.player.FileName == QLatin1String("/s/b.wav") &&
                   b.loggedLines(QStringLiteral("Continue")).size() >= 3;
        },
        20000));
    b.player.finish();
    QVERIFY(b.endsWith(QStringLiteral("Recorded 3 files")));
    QTRY_VERIFY(b.image().endsWith("message 200 240\n"));
    const QList<QByteArray> lines = b.image().split('\n');
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines.at(2), QByteArray("message 0 30"));
    const QList<QByteArray> second = lines.at(3).split(' ');
    QCOMPARE(second.value(1), QByteArray("31"));
    QVERIFY2(second.value(2).toInt() > 31 && second.value(2).toInt() < 200,
             lines.at(3).constData());
    QCOMPARE(b.loggedLines(QStringLiteral("Record start")).size(), 3);
    QCOMPARE(b.player.calls.filter(QStringLiteral("Open")).size(), 3);
    QVERIFY(!b.player.IsPlaying());
}

void playOneRecord(Bench& b) {
    b.s().panel.setText(PanelTexts::Address, QStringLiteral("00100"));
    b.run("SpeedButton8");
    QVERIFY(b.endsWith(QStringLiteral("Played")));
    QCOMPARE(b.loggedLines(QStringLiteral("Play start")),
             b.loggedLines(QStringLiteral("Play start 00100 stop 00399 power 0")));
    QCOMPARE(b.loggedLines(QStringLiteral("Play start")).size(), 1);
    // Playback ended where the record ends: the next one is on the display.
    QCOMPARE(b.s().panel.address(), QStringLiteral("00250"));
    QCOMPARE(b.s().panel.addressHex(), QStringLiteral("00FA"));
}

void playTable(Bench& b) {
    b.addRecord(1, "00000", "00099");
    b.addRecord(2, "00100", "00249");
    b.addRecord(3, "00250", "00299");
    b.addRecord(4, "00300", "", "00400");
    b.run("Playtable1");
    QVERIFY(b.endsWith(QStringLiteral("Played 4 records")));
    const QStringList plays = b.loggedLines(QStringLiteral("Play start"));
    QCOMPARE(plays.size(), 4);
    QVERIFY(plays.at(0).contains(QStringLiteral("start 00000 stop 00399 power 1")));
    QVERIFY(plays.at(1).contains(QStringLiteral("start 00100 stop 00399 power 1")));
    QVERIFY(plays.at(2).contains(QStringLiteral("start 00250 stop 00399 power 1")));
    QVERIFY(plays.at(3).contains(QStringLiteral("start 00300 stop 00399 power 0")));
}

void memoryScan(Bench& b) {
    b.run("PlayfromISD2");
    QVERIFY(b.endsWith(QStringLiteral("Scan finished: 3 messages found")));
    const char* rows[][4] = {{"00000", "0000", "00099", "0063"},
                             {"00100", "0064", "00249", "00F9"},
                             {"00250", "00FA", "00299", "012B"}};
    for (int row = 1; row <= 3; ++row) {
        for (int col = 1; col <= 4; ++col)
            QCOMPARE(b.map(col, row), QString::fromLatin1(rows[row - 1][col - 1]));
    }
    QCOMPARE(b.map(1, 4), QStringLiteral("00300"));
    QCOMPARE(b.map(5, 4), QStringLiteral("00400"));
    QCOMPARE(b.map(1, 5), QString());
    QCOMPARE(b.loggedLines(QStringLiteral("Scan start")).size(), 4);
}

void checkRecords(Bench& b) {
    b.addFile(1, "00000", "not used", "/s/a.wav");
    b.addFile(2, "00100", "not used", "/s/b.wav");
    b.addFile(3, "not used", "not used", "/s/c.wav");
    b.run("CheckRecords1");
    QVERIFY(b.endsWith(QStringLiteral("Check finished: 3 records found")));
    QCOMPARE(b.map(3, 1), QStringLiteral("00099"));
    QCOMPARE(b.map(1, 2), QStringLiteral("00100"));
    QCOMPARE(b.map(3, 2), QStringLiteral("00249"));
    QCOMPARE(b.map(1, 3), QStringLiteral("00250"));
    QCOMPARE(b.map(3, 3), QStringLiteral("00299"));
    QCOMPARE(b.map(1, 4), QString());
    QCOMPARE(b.s().panel.address(), QStringLiteral("00000"));
}

void eraseByRecording(Bench& b) {
    b.run("Erase1");
    QVERIFY(b.endsWith(QStringLiteral("Chip erased")));
    // Silence recorded over the whole memory: no message of before is left.
    QTRY_COMPARE(b.image(), QByteArray("vokar-emu image\nchip 1\nmessage 0 399\n"));
    const QStringList records = b.loggedLines(QStringLiteral("Record start"));
    QCOMPARE(records.size(), 1);
    QVERIFY2(records.first().contains(QStringLiteral("start 00000 stop 00399")),
             qPrintable(records.first()));
}

void eraseIsd1730(Bench& b) {
    b.addFile(1, "00016", "not used", "/s/a.wav");
    b.run("Erase1");
    QVERIFY(b.endsWith(QStringLiteral("Chip erased")));
    QTRY_COMPARE(b.image(), QByteArray("vokar-emu image\nchip 41\n"));
    QCOMPARE(b.s().panel.address(), QStringLiteral("00016"));
    // The commands are usable again.
    QVERIFY(b.s().commands.isEnabled(QStringLiteral("RecordISD")));
    QVERIFY(b.s().commands.isEnabled(QStringLiteral("PlayfromISD2")));
}

const QMap<QString, Operation>& operations() {
    static const QMap<QString, Operation> all = {
        {QStringLiteral("record one file"), {1, 2000, "vokar-emu image\nchip 1\n", recordOneFile}},
        {QStringLiteral("record a table of three"),
         {1, 2000, "vokar-emu image\nchip 1\n", recordTableOfThree}},
        {QStringLiteral("play"), {1, 5000, threeMessages, playOneRecord}},
        {QStringLiteral("play table"), {1, 10000, threeMessages, playTable}},
        {QStringLiteral("scan"), {1, 2000, threeMessages, memoryScan}},
        {QStringLiteral("check records"), {1, 2000, threeMessages, checkRecords}},
        {QStringLiteral("erase ISD 33060"), {1, 10000, threeMessages, eraseByRecording}},
        {QStringLiteral("erase ISD 1730"),
         {41, 2000, "vokar-emu image\nchip 41\nmessage 16 99\nmessage 100 200\n", eraseIsd1730}},
    };
    return all;
}

} // namespace

class TestDirtyLine : public QObject {
    Q_OBJECT

private slots:
    void operationEndsAsOnACleanLine_data();
    void operationEndsAsOnACleanLine();
};

void TestDirtyLine::operationEndsAsOnACleanLine_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QStringList>("line");
    quint32 seed = 1201;
    for (const QString& name : operations().keys()) {
        // Every place (the opening, right before a reply, a reply's pauses,
        // between replies) gets a burst of up to eight stray bytes.
        QTest::newRow(qPrintable(name + QStringLiteral(", noise")))
            << name << QStringList{QStringLiteral("--noise"),       QStringLiteral("1"),
                                   QStringLiteral("--noise-bytes"), QStringLiteral("8"),
                                   QStringLiteral("--seed"),        QString::number(seed++)};
        // Replies go out two at a time. The programmer greets as the port
        // opens, and its greeting goes out with the operation's first reply;
        // where it sends two replies without waiting for an answer (":" and
        // the first report of a recording, ":" and "1" of an ISD 1700 erase)
        // those come together too.
        QTest::newRow(qPrintable(name + QStringLiteral(", two replies in one delivery")))
            << name << QStringList{QStringLiteral("--pair"), QStringLiteral("--greet")};
    }
}

void TestDirtyLine::operationEndsAsOnACleanLine() {
    QFETCH(QString, operation);
    QFETCH(QStringList, line);
    const Operation& op = operations()[operation];
    Bench b;
    QVERIFY(b.start(line, op.chip, op.progressMs, op.image));
    op.run(b);
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(b.prompter.messages.isEmpty(), qPrintable(b.prompter.messages.join(QLatin1Char('|'))));
    QVERIFY2(b.prompter.errors.isEmpty(), qPrintable(b.prompter.errors.join(QLatin1Char('|'))));
    if (line.contains(QStringLiteral("--noise"))) {
        QVERIFY(b.s().link.NoiseBytesDropped > 0);
    } else {
        QCOMPARE(b.s().link.NoiseBytesDropped, quint64(0));
        // Two replies did come in one delivery.
        QVERIFY2(b.largestDelivery >= 2 * 20, qPrintable(QString::number(b.largestDelivery)));
    }
    qInfo("%s: %llu replies, %llu stray bytes dropped", qPrintable(operation),
          b.s().link.RepliesTaken, b.s().link.NoiseBytesDropped);
}

QTEST_MAIN(TestDirtyLine)
#include "tst_dirtyline_emu.moc"
