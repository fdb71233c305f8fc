// A production run: isdvokar-cli record --repeat programs one chip after
// another in the same programmer, the operator taking each chip out and
// putting the next one in (the stand-in's socket emptied and filled through
// its control input), and keeps a line for each chip in its log.

#include "cliprocess.h"
#include "emuprocess.h"
#include "nullsinkserver.h"
#include "tempfolder.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QTest>

class TestCliRepeat : public QObject {
    Q_OBJECT

private slots:
    void threeChipsInARowThreeLogLines_data();
    void threeChipsInARowThreeLogLines();
};

void TestCliRepeat::threeChipsInARowThreeLogLines_data() {
    QTest::addColumn<bool>("autoNext");
    QTest::newRow("a new chip is noticed") << true;
    QTest::newRow("Enter after each chip") << false;
}

void TestCliRepeat::threeChipsInARowThreeLogLines() {
    QFETCH(bool, autoNext);
    NullSinkServer sound;
    QString error;
    if (!sound.start(error))
        QSKIP(qPrintable(QStringLiteral("no private sound server: ") + error));
    TempFolder folder;
    EmuProcess emu;
    // An ISD 1730 in real time, as the sound is: a fresh chip's scan (the
    // question whether one is in) skips its 240 rows in 2 s.
    QVERIFY(
        emu.start({QStringLiteral("--chip"), QStringLiteral("41"), QStringLiteral("--progress-ms"),
                   QStringLiteral("300"), QStringLiteral("--com"), QStringLiteral("1"),
                   QStringLiteral("--ports-file"), folder.file(QStringLiteral("isdvokar.ports"))}));
    // The first message at the start of the ISD 1700's memory, the second
    // right after it.
    QByteArray list;
    for (int i = 1; i <= 2; ++i) {
        const QString path = folder.file(QStringLiteral("sound%1.wav").arg(i));
        QVERIFY(CliProcess::writeToneThenSilence(path, 0.3, 0));
        list += (i == 1 ? "00016" : "not used") + QByteArray(";not used;") + path.toLocal8Bit() +
                ";\r\n";
    }
    folder.write(QStringLiteral("list.lsp"), list);

    CliProcess cli(folder.path());
    QStringList arguments{
        QStringLiteral("record"),   QStringLiteral("list.lsp"),  QStringLiteral("--port"),
        QStringLiteral("COM1"),     QStringLiteral("--chip"),    QStringLiteral("41"),
        QStringLiteral("--repeat"), QStringLiteral("--count"),   QStringLiteral("3"),
        QStringLiteral("--csv"),    QStringLiteral("chips.csv"), QStringLiteral("--json"),
        QStringLiteral("--log"),    QStringLiteral("frames.log")};
    if (autoNext)
        arguments << QStringLiteral("--auto-next") << QStringLiteral("--poll-ms")
                  << QStringLiteral("200");
    cli.start(arguments);
    const auto logLines = [&] {
        return QString::fromUtf8(folder.read(QStringLiteral("chips.csv")))
            .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    };
    // The stand-in's control input is a pipe of its own, which may overtake
    // the line's bytes still in the pty on a busy machine: a chip is taken
    // out only once the programmer has read every frame the program sent,
    // the stop that ended the check among them, as an operator waits for
    // the programmer to finish.
    static const QRegularExpression emuRead(QStringLiteral("^\\s*[0-9.]+ in  "));
    const auto lineDrained = [&] {
        const qsizetype sent = QString::fromUtf8(folder.read(QStringLiteral("frames.log")))
                                   .count(QStringLiteral(" COM1 out "));
        return emu.log().filter(emuRead).size() >= sent;
    };
    for (int chip = 1; chip < 3; ++chip) {
        QTRY_COMPARE_WITH_TIMEOUT(logLines().size(), chip + 1, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(lineDrained(), 10000);
        // The operator takes the chip out and puts the next one in.
        if (autoNext) {
            const int empty = int(emu.log().filter(QStringLiteral("| < ")).size());
            emu.command(QStringLiteral("nochip"));
            QTRY_VERIFY_WITH_TIMEOUT(emu.log().filter(QStringLiteral("| < ")).size() > empty,
                                     10000);
            emu.command(QStringLiteral("chip 41"));
        } else {
            QTRY_VERIFY2_WITH_TIMEOUT(cli.err().count(QStringLiteral("press Enter")) == chip,
                                      qPrintable(cli.describe()), 10000);
            // Likewise Enter only once the new chip is in: the program's
            // next frames must not reach the chip being taken out.
            const auto inserted = [&] {
                return emu.log().filter(QStringLiteral("chip 41 inserted")).size();
            };
            const qsizetype before = inserted();
            emu.command(QStringLiteral("nochip"));
            emu.command(QStringLiteral("chip 41"));
            QTRY_VERIFY_WITH_TIMEOUT(inserted() > before, 10000);
            cli.write("\n");
        }
    }
    QVERIFY(cli.waitForFinished(30000));
    QVERIFY2(cli.exitCode() == 0, qPrintable(cli.describe()));

    const QStringList lines = logLines();
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines.first(), QStringLiteral("time,port,chip,result,seconds"));
    for (int chip = 1; chip <= 3; ++chip) {
        const QStringList fields = lines[chip].split(QLatin1Char(','));
        QCOMPARE(fields.size(), 5);
        QVERIFY2(QDateTime::fromString(fields[0], Qt::ISODate).isValid(), qPrintable(lines[chip]));
        QCOMPARE(fields.mid(1, 3), (QStringList{QStringLiteral("COM1"), QString::number(chip),
                                                QStringLiteral("verified")}));
        QVERIFY(fields[4].toDouble() > 0);
    }
    // Every chip was recorded from its start, and nothing after the third.
    QCOMPARE(emu.log().filter(QStringLiteral("| Record start 00016")).size(), 3);
    const QJsonObject lane =
        cli.json().value(QStringLiteral("programmers")).toArray().first().toObject();
    QCOMPARE(lane.value(QStringLiteral("chips")).toArray().size(), 3);
    QCOMPARE(lane.value(QStringLiteral("verified")).toInt(), 3);
}

QTEST_MAIN(TestCliRepeat)
#include "tst_cli_repeat.moc"
