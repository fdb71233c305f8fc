// Several programmers at once: isdvokar-cli gang drives three stand-ins, each
// with its own sound output, a null sink of a private sound server whose
// monitor that stand-in listens to. What each chip heard while it recorded
// tells where each file's sound went.

#include "childprocess.h"
#include "cliprocess.h"
#include "emuprocess.h"
#include "linedelays.h"
#include "nullsinkserver.h"
#include "tempfolder.h"

#include <QJsonArray>
#include <QMap>
#include <QRegularExpression>
#include <QTest>
#include <array>
#include <cmath>
#include <memory>

namespace {

constexpr int Lanes = 3;
// An ISD 33060 records 150 ms a row.
constexpr double RowSeconds = 0.15;
// A row with sound in it, and one without any (digital silence is -99).
constexpr float Loud = -40;
constexpr float Silent = -60;

struct Message {
    int start = 0;
    QList<float> levels;
};

// The messages of a stand-in's chip with the level heard in each row, from
// its map command.
QList<Message> heard(EmuProcess& emu) {
    const int before = int(emu.log().size());
    emu.command(QStringLiteral("map"));
    if (!emu.waitForLog(QStringLiteral("end of map")))
        return {};
    QList<Message> messages;
    static const QRegularExpression levels(QStringLiteral("# levels (\\d+) (.*)$"));
    for (const QString& line : emu.log().mid(before)) {
        const QRegularExpressionMatch m = levels.match(line);
        if (!m.hasMatch())
            continue;
        Message message;
        message.start = m.captured(1).toInt();
        for (const QString& db : m.captured(2).split(QLatin1Char(' ')))
            message.levels << (db == QLatin1String("-") ? qQNaN() : db.toFloat());
        messages << message;
    }
    return messages;
}

QString describe(const QList<float>& levels) {
    QStringList words;
    for (float db : levels)
        words << QString::number(db);
    return words.join(QLatin1Char(' '));
}

} // namespace

class TestCliGang : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void outputsListsEachSinkByTheNameThatChoosesIt();
    void eachProgrammerHearsItsOwnFilesAndSilenceElsewhere();
    void oneProgrammerHungUpTheOthersFinishAndVerify();

private:
    // Three stand-ins with an ISD 33060 each, COM1 to COM3 in the folder's
    // ports file.
    bool startLanes(TempFolder& folder, std::array<EmuProcess, Lanes>& emus,
                    const std::array<QStringList, Lanes>& options);
    QString writeList(TempFolder& folder);
    // One gang recording of the list in three fresh stand-ins, judged: what
    // was wrong, or nothing. `late` tells the lines that fell out of step.
    QString recordThreeLanes(QString& late);

    std::unique_ptr<NullSinkServer> sound;
    std::array<QProcess, Lanes> silence;
};

void TestCliGang::initTestCase() {
    sound = std::make_unique<NullSinkServer>();
    QString error;
    if (!sound->start(error))
        QSKIP(qPrintable(QStringLiteral("no private sound server: ") + error));
    // One null sink for each programmer's sound output, beside the server's
    // default one, which nothing may reach. An idle null sink renders ahead
    // by up to two seconds, which no sound adapter does: a silent stream
    // with a small buffer keeps each one at a sound card's pace, as the
    // server's own sink is kept.
    for (int lane = 1; lane <= Lanes; ++lane) {
        QProcess pactl;
        endWithThisProcess(pactl);
        pactl.start(QStringLiteral("pactl"),
                    {QStringLiteral("load-module"), QStringLiteral("module-null-sink"),
                     QStringLiteral("sink_name=lane%1").arg(lane),
                     QStringLiteral("sink_properties=device.description=Programmer-%1").arg(lane)});
        QVERIFY(pactl.waitForFinished(10000));
        QCOMPARE(pactl.exitCode(), 0);
        QProcess& quiet = silence[lane - 1];
        endWithThisProcess(quiet);
        quiet.setStandardInputFile(QStringLiteral("/dev/zero"));
        quiet.setStandardOutputFile(QProcess::nullDevice());
        quiet.start(QStringLiteral("pacat"),
                    {QStringLiteral("--latency-msec=%1").arg(NullSinkServer::SinkLatencyMs),
                     QStringLiteral("-d"), QStringLiteral("lane%1").arg(lane)});
        QVERIFY(quiet.waitForStarted(5000));
    }
}

void TestCliGang::cleanupTestCase() {
    for (QProcess& quiet : silence) {
        quiet.terminate();
        if (!quiet.waitForFinished(3000))
            quiet.kill();
    }
}

bool TestCliGang::startLanes(TempFolder& folder, std::array<EmuProcess, Lanes>& emus,
                             const std::array<QStringList, Lanes>& options) {
    QByteArray ports;
    for (int i = 0; i < Lanes; ++i) {
        if (!emus[i].start(QStringList{QStringLiteral("--chip"), QStringLiteral("1")} + options[i]))
            return false;
        ports += QStringLiteral("COM%1=%2\n").arg(i + 1).arg(emus[i].device()).toLocal8Bit();
    }
    folder.write(QStringLiteral("isdvokar.ports"), ports);
    return true;
}

// Two files of a tone and then as long a digital silence: 0.6 s + 0.6 s,
// and 0.45 s + 0.6 s.
QString TestCliGang::writeList(TempFolder& folder) {
    QByteArray list;
    const double tones[] = {0.6, 0.45};
    for (int i = 0; i < 2; ++i) {
        const QString path = folder.file(QStringLiteral("sound%1.wav").arg(i + 1));
        if (!CliProcess::writeToneThenSilence(path, tones[i], 0.6))
            return QString();
        list += "not used;not used;" + path.toLocal8Bit() + ";\r\n";
    }
    folder.write(QStringLiteral("list.lsp"), list);
    return folder.file(QStringLiteral("list.lsp"));
}

void TestCliGang::outputsListsEachSinkByTheNameThatChoosesIt() {
    TempFolder folder;
    CliProcess cli(folder.path());
    QVERIFY(cli.run({QStringLiteral("outputs"), QStringLiteral("--json")}));
    QVERIFY2(cli.exitCode() == 0, qPrintable(cli.describe()));
    QMap<QString, QJsonObject> listed;
    QStringList defaults;
    for (const QJsonValue& value : cli.json().value(QStringLiteral("outputs")).toArray()) {
        const QJsonObject output = value.toObject();
        const QString id = output.value(QStringLiteral("id")).toString();
        listed.insert(id, output);
        if (output.value(QStringLiteral("default")).toBool())
            defaults << id;
    }
    // The server's sinks by their own names, which --pair and --audio-device
    // take (the test below types one by its description).
    for (int lane = 1; lane <= Lanes; ++lane) {
        const QString id = QStringLiteral("lane%1").arg(lane);
        QVERIFY2(listed.contains(id), qPrintable(cli.describe()));
        QCOMPARE(listed.value(id).value(QStringLiteral("description")).toString(),
                 QStringLiteral("Programmer-%1").arg(lane));
    }
    QCOMPARE(defaults, QStringList{QStringLiteral("vsink")});
}

void TestCliGang::eachProgrammerHearsItsOwnFilesAndSilenceElsewhere() {
    // A machine so busy that a line's bytes wait in the pty longer than a
    // row has the programmer wait for its answer while the sound goes on:
    // the message then rightly differs from its file. Such a run proves
    // nothing either way and is made again; a run whose lines all kept step
    // must pass.
    constexpr int Attempts = 3;
    QStringList busy;
    for (int attempt = 1; attempt <= Attempts; ++attempt) {
        QString late;
        const QString fault = recordThreeLanes(late);
        if (fault.isEmpty())
            return;
        if (late.isEmpty())
            QFAIL(qPrintable(fault));
        qInfo("run %d out of step (%s), and so: %s", attempt, qPrintable(late), qPrintable(fault));
        busy << late;
    }
    QFAIL(qPrintable(QStringLiteral("no run kept step with the programmers: ") +
                     busy.join(QStringLiteral("; "))));
}

QString TestCliGang::recordThreeLanes(QString& late) {
    TempFolder folder;
    std::array<EmuProcess, Lanes> emus;
    // Each stand-in reports progress at its own pace, so the programmers
    // drift apart: a file that sounded in the wrong programmer's output
    // would be heard in another's silence.
    std::array<QStringList, Lanes> options;
    const char* const paces[] = {"400", "700", "1000"};
    for (int i = 0; i < Lanes; ++i)
        options[i] = {QStringLiteral("--listen"), QStringLiteral("lane%1.monitor").arg(i + 1),
                      QStringLiteral("--progress-ms"), QString::fromLatin1(paces[i])};
    if (!startLanes(folder, emus, options))
        return QStringLiteral("the stand-ins did not start");
    const QString list = writeList(folder);
    if (list.isEmpty())
        return QStringLiteral("the sound files could not be written");
    sound->clearSound();

    // The third output named by its description, as `outputs` shows it.
    CliProcess cli(folder.path());
    if (!cli.run({QStringLiteral("gang"), QStringLiteral("--pair"), QStringLiteral("COM1=lane1"),
                  QStringLiteral("--pair"), QStringLiteral("COM2=lane2"), QStringLiteral("--pair"),
                  QStringLiteral("COM3=Programmer-3"), QStringLiteral("record"), list,
                  QStringLiteral("--chip"), QStringLiteral("1"), QStringLiteral("--json"),
                  QStringLiteral("--log"), QStringLiteral("frames.log")}))
        return QStringLiteral("isdvokar-cli did not finish:\n") + cli.describe();

    // A line is out of step when a frame on it was read more than a row
    // later than the quickest one.
    const QStringList frames =
        QString::fromUtf8(folder.read(QStringLiteral("frames.log"))).split(QLatin1Char('\n'));
    QStringList slow, delays;
    for (int i = 0; i < Lanes; ++i) {
        const QString port = QStringLiteral("COM%1").arg(i + 1);
        const LineDelays::Worst worst = LineDelays::worst(frames, port, emus[i].log());
        delays << QStringLiteral("%1 %2 ms").arg(port).arg(qRound(worst.ms));
        if (worst.ms > RowSeconds * 1000)
            slow << QStringLiteral("%1: a %2 read %3 ms late")
                        .arg(port, worst.what)
                        .arg(qRound(worst.ms));
    }
    late = slow.join(QStringLiteral(", "));
    qInfo("frames read late by at most: %s", qPrintable(delays.join(QStringLiteral(", "))));

    if (cli.exitCode() != 0) {
        qInfo("the frames:\n%s\n%s", qPrintable(frames.join(QLatin1Char('\n'))),
              qPrintable(cli.describe()));
        return cli.describeFailures();
    }
    const QJsonArray lanes = cli.json().value(QStringLiteral("programmers")).toArray();
    if (lanes.size() != Lanes)
        return QStringLiteral("%1 programmers in the result").arg(lanes.size());
    for (const QJsonValue& lane : lanes) {
        if (lane.toObject().value(QStringLiteral("result")).toString() != QLatin1String("verified"))
            return cli.describeFailures();
    }
    // Nothing went to the server's default output.
    if (sound->heardSound())
        return QStringLiteral("sound reached the default output");

    const int toneRows[] = {int(std::ceil(0.6 / RowSeconds)), int(std::ceil(0.45 / RowSeconds))};
    for (int i = 0; i < Lanes; ++i) {
        const QList<Message> messages = heard(emus[i]);
        if (messages.size() != 2)
            return QStringLiteral("COM%1: %2 messages heard").arg(i + 1).arg(messages.size());
        for (int m = 0; m < 2; ++m) {
            const QList<float>& levels = messages[m].levels;
            const QString where =
                QStringLiteral("COM%1, message %2: %3").arg(i + 1).arg(m + 1).arg(describe(levels));
            // The tone from the start, then silence to the end: the file's
            // own silence and the rows until the stop came. The row the tone
            // ends in, the one after it (a moment's hiccup of a busy machine
            // shifts the tone's end) and the last row, which ends as the next
            // file begins to sound, are not judged.
            const int toneEnd = qMin(toneRows[m] + 2, int(levels.size()));
            int loud = 0;
            for (int row = 0; row < toneEnd; ++row)
                loud += levels[row] > Loud ? 1 : 0;
            if (loud < toneRows[m] - 1 || !(levels[0] > Loud))
                return where + QStringLiteral(": the tone is missing");
            int silent = 0;
            for (int row = toneEnd; row < levels.size() - 1; ++row) {
                if (!(levels[row] < Silent))
                    return where + QStringLiteral(": sound after the tone");
                ++silent;
            }
            if (silent < 1)
                return where + QStringLiteral(": no silence after the tone");
        }
    }
    return QString();
}

void TestCliGang::oneProgrammerHungUpTheOthersFinishAndVerify() {
    TempFolder folder;
    std::array<EmuProcess, Lanes> emus;
    // The third hangs up after its third reply, amid its first file.
    QVERIFY(startLanes(folder, emus,
                       {QStringList{}, QStringList{},
                        QStringList{QStringLiteral("--hangup-after"), QStringLiteral("3")}}));
    const QString list = writeList(folder);
    QVERIFY(!list.isEmpty());

    CliProcess cli(folder.path());
    QVERIFY(
        cli.run({QStringLiteral("gang"), QStringLiteral("--pair"), QStringLiteral("COM1=lane1"),
                 QStringLiteral("--pair"), QStringLiteral("COM2=lane2"), QStringLiteral("--pair"),
                 QStringLiteral("COM3=lane3"), QStringLiteral("record"), list,
                 QStringLiteral("--chip"), QStringLiteral("1"), QStringLiteral("--json")}));
    QVERIFY2(cli.exitCode() == 4, qPrintable(cli.describe()));
    const QJsonObject result = cli.json();
    QCOMPARE(result.value(QStringLiteral("summary")).toString(),
             QStringLiteral("2 of 3 programmers done; failed: COM3 (disconnected)"));
    const QJsonArray lanes = result.value(QStringLiteral("programmers")).toArray();
    QCOMPARE(lanes.size(), Lanes);
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(lanes[i].toObject().value(QStringLiteral("result")).toString(),
                 QStringLiteral("verified"));
        QCOMPARE(emus[i].log().filter(QStringLiteral("| Record")).size(), 2);
    }
    const QJsonObject failed = lanes[2].toObject();
    QCOMPARE(failed.value(QStringLiteral("port")).toString(), QStringLiteral("COM3"));
    QCOMPARE(failed.value(QStringLiteral("exitCode")).toInt(), 4);
    QVERIFY(emus[2].finished());
}

QTEST_MAIN(TestCliGang)
#include "tst_cli_gang.moc"
