// isdvokar-cli end to end: the program as a script runs it, against the
// stand-in in strict mode on its pseudo-terminal, with the exit codes a
// script relies on.

#include "cliprocess.h"
#include "emuprocess.h"
#include "nullsinkserver.h"
#include "tempfolder.h"

#include <QJsonArray>
#include <QTest>

namespace {

struct Row {
    QString start;
    QString stop;
    QString file;
};

// A working folder with a stand-in and the program.
struct Bench {
    TempFolder folder;
    EmuProcess emu;
    CliProcess cli{folder.path()};

    // The stand-in with `image` as its memory (none: empty).
    bool startEmu(const QStringList& options, const QByteArray& image = QByteArray()) {
        QStringList all = options;
        if (!image.isEmpty()) {
            folder.write(QStringLiteral("chip.img"), image);
            all << QStringLiteral("--image") << folder.file(QStringLiteral("chip.img"));
        }
        return emu.start(all);
    }
    QString writeList(const QList<Row>& rows) {
        QByteArray text;
        for (const Row& r : rows)
            text += (r.start + u';' + r.stop + u';' + r.file + u';').toLocal8Bit() + "\r\n";
        folder.write(QStringLiteral("list.lsp"), text);
        return folder.file(QStringLiteral("list.lsp"));
    }
    QString sound(const QString& name, double seconds) {
        const QString path = folder.file(name);
        return CliProcess::writeToneThenSilence(path, seconds, 0) ? path : QString();
    }
    QString image() { return QString::fromLatin1(folder.read(QStringLiteral("chip.img"))); }
};

const QString notUsed = QStringLiteral("not used");

// The table the verify tests plan: rows 0-7, 10-14 and 20-25 of an ISD 33060
// (150 ms a row) for sounds of 1.2, 0.75 and 0.9 s.
QList<Row> plannedTable(Bench& b) {
    return {
        {QStringLiteral("00000"), QStringLiteral("00007"), b.sound(QStringLiteral("one.wav"), 1.2)},
        {QStringLiteral("00010"), QStringLiteral("00014"),
         b.sound(QStringLiteral("two.wav"), 0.75)},
        {QStringLiteral("00020"), QStringLiteral("00025"),
         b.sound(QStringLiteral("three.wav"), 0.9)}};
}

} // namespace

class TestCliEmu : public QObject {
    Q_OBJECT

private slots:
    void usageMistakesExitTwo_data();
    void usageMistakesExitTwo();
    void listProblemsExitFiveBeforeAnyProgrammerIsAsked_data();
    void listProblemsExitFiveBeforeAnyProgrammerIsAsked();
    void noProgrammerOrNoChipExitsThree_data();
    void noProgrammerOrNoChipExitsThree();
    void recordPlaysEachFileIntoTheChipAndVerifiesIt();
    void verifyNamesTheRowThatDiffers_data();
    void verifyNamesTheRowThatDiffers();
    void scanWritesTheMapAsMapFileAndJson();
    void eraseAsksFirstUnlessYes_data();
    void eraseAsksFirstUnlessYes();
    void stoppedByASignalTheProgrammerIsToldToStop();
};

void TestCliEmu::usageMistakesExitTwo_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("says");
    QTest::newRow("no command") << QStringList{} << QStringLiteral("no command given");
    QTest::newRow("unknown command")
        << QStringList{QStringLiteral("fly")} << QStringLiteral("fly is no command");
    QTest::newRow("list missing") << QStringList{QStringLiteral("record")}
                                  << QStringLiteral("record wants one LIST.lsp");
    QTest::newRow("chip beyond the catalogue")
        << QStringList{QStringLiteral("scan"), QStringLiteral("--chip"), QStringLiteral("0")}
        << QStringLiteral("numbered 1 to 50");
    QTest::newRow("no such chip") << QStringList{QStringLiteral("scan"), QStringLiteral("--chip"),
                                                 QStringLiteral("ISD 2560")}
                                  << QStringLiteral("no such chip type");
    QTest::newRow("chip name of several")
        << QStringList{QStringLiteral("scan"), QStringLiteral("--chip"), QStringLiteral("4002")}
        << QStringLiteral("could be any of: ISD 4002-120, ISD 4002-150");
    QTest::newRow("address beyond the chip")
        << QStringList{QStringLiteral("play"), QStringLiteral("400"), QStringLiteral("--chip"),
                       QStringLiteral("ISD 33060")}
        << QStringLiteral("Wrong address ! 400 is no address of the ISD 33060 (0 to 399)");
    QTest::newRow("gang without pairs")
        << QStringList{QStringLiteral("gang"), QStringLiteral("record"), QStringLiteral("a.lsp")}
        << QStringLiteral("--pair PORT=OUTPUT");
    QTest::newRow("two programmers on one output")
        << QStringList{QStringLiteral("gang"),   QStringLiteral("--pair"), QStringLiteral("COM1"),
                       QStringLiteral("--pair"), QStringLiteral("COM2"),   QStringLiteral("record"),
                       QStringLiteral("a.lsp")}
        << QStringLiteral("COM1 and COM2 would play to the same sound output (the default)");
    QTest::newRow("repeat without record")
        << QStringList{QStringLiteral("scan"), QStringLiteral("--repeat")}
        << QStringLiteral("--repeat goes with record");
    QTest::newRow("unknown sound output")
        << QStringList{QStringLiteral("record"), QStringLiteral("a.lsp"),
                       QStringLiteral("--audio-device"), QStringLiteral("nowhere")}
        << QStringLiteral("No sound output named nowhere");
}

void TestCliEmu::usageMistakesExitTwo() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, says);
    TempFolder folder;
    CliProcess cli(folder.path());
    QVERIFY(cli.run(arguments));
    QVERIFY2(cli.exitCode() == 2, qPrintable(cli.describe()));
    QVERIFY2(cli.err().contains(says), qPrintable(cli.describe()));
}

void TestCliEmu::listProblemsExitFiveBeforeAnyProgrammerIsAsked_data() {
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QString>("says");
    QTest::newRow("no list") << QByteArray() << QStringLiteral("Cannot read the file list");
    QTest::newRow("malformed line")
        << QByteArray("00000;not used\r\n") << QStringLiteral("Bad file format");
    QTest::newRow("no files") << QByteArray("") << QStringLiteral("holds no sound files");
    QTest::newRow("sound file missing")
        << QByteArray("not used;not used;/nonexistent/bell.wav;\r\n")
        << QStringLiteral("row 1: /nonexistent/bell.wav cannot be read as sound");
    QTest::newRow("not a sound") << QByteArray("not used;not used;list.lsp;\r\n")
                                 << QStringLiteral("row 1: list.lsp cannot be read as sound");
}

void TestCliEmu::listProblemsExitFiveBeforeAnyProgrammerIsAsked() {
    QFETCH(QByteArray, list);
    QFETCH(QString, says);
    Bench b;
    if (!list.isNull())
        b.folder.write(QStringLiteral("list.lsp"), list);
    // No programmer at all: the list is read before one is looked for.
    QVERIFY(
        b.cli.run({QStringLiteral("record"), QStringLiteral("list.lsp"), QStringLiteral("--port"),
                   QStringLiteral("/dev/vokar-nothing-here"), QStringLiteral("--json")}));
    QVERIFY2(b.cli.exitCode() == 5, qPrintable(b.cli.describe()));
    QVERIFY2(b.cli.err().contains(says), qPrintable(b.cli.describe()));
    QCOMPARE(b.cli.json().value(QStringLiteral("exitCode")).toInt(), 5);
}

void TestCliEmu::noProgrammerOrNoChipExitsThree_data() {
    QTest::addColumn<QStringList>("emuOptions"); // empty: no stand-in
    QTest::addColumn<QString>("port");           // empty: the stand-in's
    QTest::addColumn<QString>("result");
    QTest::newRow("no such device") << QStringList{} << QStringLiteral("/dev/vokar-nothing-here")
                                    << QStringLiteral("no programmer");
    QTest::newRow("COM number without a device")
        << QStringList{} << QStringLiteral("COM42") << QStringLiteral("no programmer");
    QTest::newRow("empty socket") << QStringList{QStringLiteral("--no-chip")} << QString()
                                  << QStringLiteral("no chip");
    // The scan frame (the second) is swallowed: nothing ever answers.
    QTest::newRow("programmer that never answers")
        << QStringList{QStringLiteral("--silent"), QStringLiteral("2")} << QString()
        << QStringLiteral("no programmer");
}

void TestCliEmu::noProgrammerOrNoChipExitsThree() {
    QFETCH(QStringList, emuOptions);
    QFETCH(QString, port);
    QFETCH(QString, result);
    Bench b;
    if (!emuOptions.isEmpty()) {
        QVERIFY(b.startEmu(emuOptions));
        port = b.emu.device();
    }
    QVERIFY(b.cli.run({QStringLiteral("scan"), QStringLiteral("--port"), port,
                       QStringLiteral("--timeout"), QStringLiteral("1"), QStringLiteral("--json")},
                      20000));
    QVERIFY2(b.cli.exitCode() == 3, qPrintable(b.cli.describe()));
    const QJsonObject lane =
        b.cli.json().value(QStringLiteral("programmers")).toArray().first().toObject();
    QCOMPARE(lane.value(QStringLiteral("result")).toString(), result);
}

void TestCliEmu::recordPlaysEachFileIntoTheChipAndVerifiesIt() {
    NullSinkServer sound;
    QString error;
    if (!sound.start(error))
        QSKIP(qPrintable(QStringLiteral("no private sound server: ") + error));
    Bench b;
    // The chip in real time, as sound is: verify compares the rows each file
    // took with its length. Progress twice a second keeps it short.
    QVERIFY(b.startEmu({QStringLiteral("--chip"), QStringLiteral("1"),
                        QStringLiteral("--progress-ms"), QStringLiteral("500")}));
    const QString list = b.writeList({{notUsed, notUsed, b.sound(QStringLiteral("a.wav"), 0.45)},
                                      {notUsed, notUsed, b.sound(QStringLiteral("b.wav"), 0.3)},
                                      {notUsed, notUsed, b.sound(QStringLiteral("c.wav"), 0.4)}});
    QVERIFY(
        b.cli.run({QStringLiteral("record"), list, QStringLiteral("--port"), b.emu.device(),
                   QStringLiteral("--chip"), QStringLiteral("ISD 33060"), QStringLiteral("--json"),
                   QStringLiteral("--log"), b.folder.file(QStringLiteral("frames.log"))}));
    QVERIFY2(b.cli.exitCode() == 0, qPrintable(b.cli.describe()));
    const QJsonObject lane =
        b.cli.json().value(QStringLiteral("programmers")).toArray().first().toObject();
    QCOMPARE(lane.value(QStringLiteral("result")).toString(), QStringLiteral("verified"));
    const QJsonArray rows = lane.value(QStringLiteral("rows")).toArray();
    QCOMPARE(rows.size(), 3);
    // One message after the other, each as long as its sound and what the
    // stop took to arrive.
    int next = 0;
    for (const QJsonValue& row : rows) {
        const QJsonObject r = row.toObject();
        QCOMPARE(r.value(QStringLiteral("outcome")).toString(), QStringLiteral("match"));
        QCOMPARE(r.value(QStringLiteral("foundStart")).toInt(), next);
        next += r.value(QStringLiteral("foundRows")).toInt();
    }
    QCOMPARE(b.emu.log().filter(QStringLiteral("| Record")).size(), 3);
    // The log holds every frame and the end of each sound.
    const QString log = QString::fromUtf8(b.folder.read(QStringLiteral("frames.log")));
    QCOMPARE(log.count(QStringLiteral("# sound ends")), 3);
    QCOMPARE(log.count(QStringLiteral("out 02 ")), 3);

    // The chip as recorded verifies again on its own.
    QVERIFY(b.cli.run({QStringLiteral("verify"), list, QStringLiteral("--port"), b.emu.device(),
                       QStringLiteral("--chip"), QStringLiteral("1")}));
    QVERIFY2(b.cli.exitCode() == 0, qPrintable(b.cli.describe()));
    QVERIFY(b.cli.out().contains(QStringLiteral("Verified: all 3 messages match the file table.")));
}

void TestCliEmu::verifyNamesTheRowThatDiffers_data() {
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("says");
    QTest::newRow("equal chip") << QByteArray("vokar-emu image\nchip 1\nmessage 0 7\nmessage 10 "
                                              "14\nmessage 20 25\n")
                                << 0
                                << QStringLiteral("Verified: all 3 messages match the file table.");
    QTest::newRow("shortened message")
        << QByteArray("vokar-emu image\nchip 1\nmessage 0 7\nmessage 10 11\nmessage 20 25\n") << 1
        << QStringLiteral("Verify: 1 of 3 messages differ - row 2: 2 rows (0.30 s) found, the "
                          "file needs 5 rows (0.75 s)");
}

void TestCliEmu::verifyNamesTheRowThatDiffers() {
    QFETCH(QByteArray, image);
    QFETCH(int, exitCode);
    QFETCH(QString, says);
    Bench b;
    QVERIFY(b.startEmu({QStringLiteral("--chip"), QStringLiteral("1"),
                        QStringLiteral("--time-scale"), QStringLiteral("0.1")},
                       image));
    const QString list = b.writeList(plannedTable(b));
    QVERIFY(b.cli.run({QStringLiteral("verify"), list, QStringLiteral("--port"), b.emu.device(),
                       QStringLiteral("--chip"), QStringLiteral("1")}));
    QVERIFY2(b.cli.exitCode() == exitCode, qPrintable(b.cli.describe()));
    QVERIFY2(b.cli.out().contains(says), qPrintable(b.cli.describe()));
    QVERIFY(b.cli.run({QStringLiteral("verify"), list, QStringLiteral("--port"), b.emu.device(),
                       QStringLiteral("--chip"), QStringLiteral("1"), QStringLiteral("--json")}));
    const QJsonObject lane =
        b.cli.json().value(QStringLiteral("programmers")).toArray().first().toObject();
    QStringList outcomes;
    for (const QJsonValue& row : lane.value(QStringLiteral("rows")).toArray())
        outcomes << row.toObject().value(QStringLiteral("outcome")).toString();
    const QString second = exitCode == 0 ? QStringLiteral("match") : QStringLiteral("wrong length");
    QCOMPARE(outcomes, (QStringList{QStringLiteral("match"), second, QStringLiteral("match")}));
    // Check records reads, and writes nothing.
    QCOMPARE(b.emu.log().filter(QStringLiteral("| Record")).size(), 0);
}

void TestCliEmu::scanWritesTheMapAsMapFileAndJson() {
    Bench b;
    QVERIFY(b.startEmu({QStringLiteral("--chip"), QStringLiteral("1"),
                        QStringLiteral("--time-scale"), QStringLiteral("0.05")},
                       "vokar-emu image\nchip 1\nmessage 0 9\nmessage 30 44\n"));
    QVERIFY(b.cli.run({QStringLiteral("scan"), QStringLiteral("-o"), QStringLiteral("chip.mpp"),
                       QStringLiteral("--port"), b.emu.device(), QStringLiteral("--chip"),
                       QStringLiteral("1"), QStringLiteral("--json")}));
    QVERIFY2(b.cli.exitCode() == 0, qPrintable(b.cli.describe()));
    // The scan runs from one end of message to the next: the second record
    // starts where the first ended, and the last one runs into the end.
    QCOMPARE(b.folder.read(QStringLiteral("chip.mpp")),
             QByteArray("00000;0000;00009;0009;;;\r\n00010;000A;00044;002C;;;\r\n"
                        "00045;002D;;;00400;0190;\r\n"));
    const QJsonObject lane =
        b.cli.json().value(QStringLiteral("programmers")).toArray().first().toObject();
    const QJsonArray map = lane.value(QStringLiteral("map")).toArray();
    QCOMPARE(map.size(), 3);
    QCOMPARE(map.at(1).toObject().value(QStringLiteral("start")).toInt(), 10);
    QCOMPARE(map.at(1).toObject().value(QStringLiteral("eom")).toInt(), 44);
    QVERIFY(map.at(2).toObject().value(QStringLiteral("eom")).isNull());
    QCOMPARE(map.at(2).toObject().value(QStringLiteral("ovf")).toInt(), 400);

    // Without -o and --json: the map for people.
    QVERIFY(b.cli.run({QStringLiteral("scan"), QStringLiteral("--port"), b.emu.device(),
                       QStringLiteral("--chip"), QStringLiteral("1")}));
    QVERIFY2(
        b.cli.out().contains(QStringLiteral("start 00010 (000A)  end of message 00044 (002C)")),
        qPrintable(b.cli.describe()));
}

void TestCliEmu::eraseAsksFirstUnlessYes_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("typed"); // null: standard input closed at once
    QTest::addColumn<int>("exitCode");
    QTest::newRow("--yes") << QStringList{QStringLiteral("--yes")} << QByteArray() << 0;
    QTest::newRow("y typed") << QStringList{} << QByteArray("y\n") << 0;
    QTest::newRow("n typed") << QStringList{} << QByteArray("n\n") << 2;
    QTest::newRow("nothing typed") << QStringList{} << QByteArray() << 2;
}

void TestCliEmu::eraseAsksFirstUnlessYes() {
    QFETCH(QStringList, options);
    QFETCH(QByteArray, typed);
    QFETCH(int, exitCode);
    Bench b;
    // An ISD 1730: its erase is a command of its own.
    QVERIFY(b.startEmu({QStringLiteral("--chip"), QStringLiteral("41"),
                        QStringLiteral("--time-scale"), QStringLiteral("0.1")},
                       "vokar-emu image\nchip 41\nmessage 16 30\n"));
    b.cli.start(QStringList{QStringLiteral("erase"), QStringLiteral("--port"), b.emu.device(),
                            QStringLiteral("--chip"), QStringLiteral("ISD 1730")} +
                options);
    if (!typed.isNull())
        b.cli.write(typed);
    b.cli.closeInput();
    QVERIFY(b.cli.waitForFinished(20000));
    QVERIFY2(b.cli.exitCode() == exitCode, qPrintable(b.cli.describe()));
    if (options.isEmpty())
        QVERIFY(b.cli.err().contains(QStringLiteral("Erase the whole ISD 1730 in ")));
    QVERIFY(b.emu.waitForLog(QStringLiteral("SetChip")) || exitCode != 0);
    b.emu.command(QStringLiteral("map"));
    if (exitCode == 0) {
        QVERIFY(b.emu.waitForLog(QStringLiteral("end of map")));
        QCOMPARE(b.emu.log().filter(QStringLiteral("| Erase")).size(), 1);
        QVERIFY(b.emu.log().filter(QStringLiteral("message 00016")).isEmpty());
        QVERIFY(b.cli.out().contains(QStringLiteral("erased")));
    } else {
        QVERIFY(b.emu.waitForLog(QStringLiteral("message 00016 00030")));
        QVERIFY(b.emu.log().filter(QStringLiteral("| Erase")).isEmpty());
        QVERIFY(b.cli.err().contains(QStringLiteral("Nothing erased")));
    }
}

void TestCliEmu::stoppedByASignalTheProgrammerIsToldToStop() {
    NullSinkServer sound;
    QString error;
    if (!sound.start(error))
        QSKIP(qPrintable(QStringLiteral("no private sound server: ") + error));
    Bench b;
    QVERIFY(b.startEmu({QStringLiteral("--chip"), QStringLiteral("1"),
                        QStringLiteral("--progress-ms"), QStringLiteral("300")}));
    const QString list = b.writeList({{notUsed, notUsed, b.sound(QStringLiteral("long.wav"), 20)},
                                      {notUsed, notUsed, b.sound(QStringLiteral("next.wav"), 1)}});
    b.cli.start({QStringLiteral("record"), list, QStringLiteral("--port"), b.emu.device(),
                 QStringLiteral("--chip"), QStringLiteral("1")});
    QVERIFY(b.emu.waitForLog(QStringLiteral("| Continue"), 10000));
    // As Ctrl-C or a service manager would: the recording is stopped as the
    // window's Stop stops it, and the next file is not recorded.
    b.cli.interrupt();
    QVERIFY(b.cli.waitForFinished(10000));
    QVERIFY2(b.cli.exitCode() == 130, qPrintable(b.cli.describe()));
    QVERIFY(b.emu.waitForLog(QStringLiteral("| Stop")));
    QVERIFY(b.emu.waitForLog(QStringLiteral("| 1 ")));
    QCOMPARE(b.emu.log().filter(QStringLiteral("| Record")).size(), 1);
    QVERIFY2(b.cli.out().contains(QStringLiteral("interrupted")), qPrintable(b.cli.describe()));
}

QTEST_MAIN(TestCliEmu)
#include "tst_cli_emu.moc"
