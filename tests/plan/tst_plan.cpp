#include "core/stringgrid.h"
#include "core/tablelayout.h"
#include "files/midirenderer.h"
#include "plan/addressplanner.h"
#include "plan/chipgeometry.h"
#include "plan/fitcheck.h"
#include "plan/headerexport.h"
#include "plan/laterstarts.h"
#include "plan/memorylayout.h"
#include "plan/recordverifier.h"
#include "plan/soundlengths.h"
#include "tempfolder.h"
#include "testsounds.h"
#include "widgets/memorypictureview.h"

#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <sndfile.h>

namespace {

constexpr int Isd33060 = 1;
constexpr int Isd5116At4kHz = 28;
constexpr int Isd1760 = 44;

using Lengths = QHash<QString, qint64>;
using Records = QList<QPair<int, int>>;

FitCheck::LengthOf lengthsFrom(const Lengths& known) {
    return [known](const QString& path) -> std::optional<qint64> {
        const auto found = known.constFind(path);
        if (found == known.constEnd())
            return std::nullopt;
        return *found;
    };
}

qint64 secs(double s) {
    return qint64(s * 1e6 + 0.5);
}

// A file table as the program keeps it: start, stop, file.
void fillTable(StringGrid& fileGrid, const QList<QStringList>& rows) {
    for (int row = 1; row <= rows.size(); ++row) {
        for (int col = FileColumn::Start; col <= FileColumn::File; ++col)
            fileGrid.setCell(col, row, rows.at(row - 1).at(col - 1));
    }
}

const QString notUsed = QStringLiteral("not used");

// A memory map with records at the given rows (start, end of message).
void fillMap(StringGrid& mapGrid, const Records& records) {
    for (int row = 1; row <= records.size(); ++row) {
        mapGrid.setCell(MapColumn::Start, row,
                        QString::asprintf("%05d", records.at(row - 1).first));
        mapGrid.setCell(MapColumn::Eom, row, QString::asprintf("%05d", records.at(row - 1).second));
    }
}

// Two files on an ISD 33060, the second cut short, and one record in the
// memory map: what the picture's tests lay out.
struct TwoFilesAndARecord {
    StringGrid fileGrid{FileColumn::Count, TableLayout::StartRows};
    StringGrid mapGrid{MapColumn::Count, TableLayout::StartRows};
    const ChipGeometry chip = ChipGeometry::ofType(Isd33060);
    const FitCheck fit{chip, lengthsFrom({{QStringLiteral("/s/a.wav"), secs(3.0)},
                                          {QStringLiteral("/s/b.wav"), secs(3.0)}})};

    TwoFilesAndARecord() {
        fillTable(fileGrid,
                  {{QStringLiteral("00000"), QStringLiteral("00019"), QStringLiteral("/s/a.wav")},
                   {QStringLiteral("00200"), QStringLiteral("00209"), QStringLiteral("/s/b.wav")}});
        fillMap(mapGrid, {{100, 249}});
    }
    MemoryLayout layout() const {
        return MemoryLayout(chip, fit.place(fileGrid), mapGrid, nullptr);
    }
};

} // namespace

class TestPlan : public QObject {
    Q_OBJECT

private slots:
    void rowTimeIsTotalTimeOverRows_data();
    void rowTimeIsTotalTimeOverRows();
    void wavLengthsOfSeveralEncodings_data();
    void wavLengthsOfSeveralEncodings();
    void midiLengthComesFromTheRenderer();
    void rowsNeededOnThreeChips_data();
    void rowsNeededOnThreeChips();
    void lengthsAreMeasuredInTheBackgroundAndKept();
    void unreadableFileHasNoLength();
    void fitOfAFileBetweenItsAddresses_data();
    void fitOfAFileBetweenItsAddresses();
    void fileWithoutStartFollowsThePreviousOne();
    void nextMessageFoundAsARowByRowSearchFindsIt();
    void cutWarningNamesEveryFileThatWillBeCut();
    void planThreeFilesOnAnIsd33060();
    void planThatDoesNotFitChangesNothing();
    void planOnIsd1700StartsAtRow16();
    void planWithUnreadableFileChangesNothing();
    void exportedHeaderCompilesWithTheExpectedNumbers();
    void exportFromTheMemoryMap();
    void exportNamesAreCIdentifiersAndUnique_data();
    void exportNamesAreCIdentifiersAndUnique();
    void verifyComparesRecordsWithTheTable_data();
    void verifyComparesRecordsWithTheTable();
    void verifyLetsARecordingRunOnToItsStopAddress_data();
    void verifyLetsARecordingRunOnToItsStopAddress();
    void layoutPutsBlocksAtTheirRows();
    void layoutMarksReservedRowsAndFreeSpace();
    void pictureDrawsBlocksAtTheirPixels();
};

void TestPlan::rowTimeIsTotalTimeOverRows_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<double>("rowSeconds");
    QTest::addColumn<int>("firstRow");
    QTest::addColumn<int>("lastRow");
    QTest::newRow("ISD 33060") << Isd33060 << 0.15 << 0 << 399;
    QTest::newRow("ISD 5116 4.0 kHz") << Isd5116At4kHz << 1048.0 / 2048 << 0 << 2047;
    QTest::newRow("ISD 1760") << Isd1760 << 0.125 << 16 << 496;
    QTest::newRow("ISD 4004-16") << 20 << 960.0 / 2400 << 0 << 2399;
}

void TestPlan::rowTimeIsTotalTimeOverRows() {
    QFETCH(int, type);
    QFETCH(double, rowSeconds);
    QFETCH(int, firstRow);
    QFETCH(int, lastRow);
    const ChipGeometry chip = ChipGeometry::ofType(type);
    QVERIFY(qAbs(chip.rowSeconds - rowSeconds) < 1e-6);
    QCOMPARE(chip.firstRow, firstRow);
    QCOMPARE(chip.lastRow, lastRow);
}

void TestPlan::wavLengthsOfSeveralEncodings_data() {
    QTest::addColumn<int>("subformat");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<double>("seconds");
    QTest::addColumn<int>("toleranceMs");
    QTest::newRow("16-bit PCM mono 8 kHz") << int(SF_FORMAT_PCM_16) << 8000 << 1 << 2.5 << 0;
    QTest::newRow("8-bit PCM stereo 11 kHz") << int(SF_FORMAT_PCM_U8) << 11025 << 2 << 1.2 << 0;
    QTest::newRow("float stereo 44.1 kHz") << int(SF_FORMAT_FLOAT) << 44100 << 2 << 3.4 << 0;
    QTest::newRow("mu-law mono 8 kHz") << int(SF_FORMAT_ULAW) << 8000 << 1 << 0.75 << 0;
    // ADPCM stores whole blocks; the last one may be padded.
    QTest::newRow("IMA ADPCM mono 22 kHz") << int(SF_FORMAT_IMA_ADPCM) << 22050 << 1 << 2.0 << 50;
}

void TestPlan::wavLengthsOfSeveralEncodings() {
    QFETCH(int, subformat);
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(double, seconds);
    QFETCH(int, toleranceMs);
    TempFolder folder;
    const QString path = folder.file(QStringLiteral("tone.wav"));
    QVERIFY(TestSounds::writeToneWav(path, rate, channels, seconds, subformat));
    MidiRenderer midi;
    const auto usecs = SoundLengths::measure(path, midi);
    QVERIFY(usecs.has_value());
    const qint64 expected = qint64(std::lround(seconds * rate)) * 1000000 / rate;
    QVERIFY2(qAbs(*usecs - expected) <= toleranceMs * 1000, qPrintable(QString::number(*usecs)));
}

void TestPlan::midiLengthComesFromTheRenderer() {
    TempFolder folder;
    const QString path = folder.file(QStringLiteral("bell.mid"));
    // Two beats of C4 at 120 beats a minute: one second, and the note's release.
    QVERIFY(TestSounds::writeFile(path, TestSounds::midiNote(960)));
    MidiRenderer midi;
    const auto usecs = SoundLengths::measure(path, midi);
    QVERIFY(usecs.has_value());
    QVERIFY2(*usecs >= 1000000 && *usecs <= (1 + MidiRenderer::MaxTailSeconds) * 1000000,
             qPrintable(QString::number(*usecs)));
    // As long as playback would sound it.
    QCOMPARE(*usecs, midi.renderFile(path).durationUSecs());
    const ChipGeometry chip = ChipGeometry::ofType(Isd33060);
    QCOMPARE(chip.rowsFor(*usecs), int(std::ceil(double(*usecs) / 150000.0 - 1e-6)));
    QVERIFY(chip.rowsFor(*usecs) >= 7);
}

void TestPlan::rowsNeededOnThreeChips_data() {
    QTest::addColumn<double>("seconds");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("rows");
    QTest::newRow("3.00 s on ISD 33060: 20 rows exactly") << 3.0 << Isd33060 << 20;
    QTest::newRow("3.01 s on ISD 33060: one row more") << 3.01 << Isd33060 << 21;
    QTest::newRow("2.50 s on ISD 33060") << 2.5 << Isd33060 << 17;
    QTest::newRow("2.50 s on ISD 5116 4.0 kHz") << 2.5 << Isd5116At4kHz << 5;
    QTest::newRow("10.24 s on ISD 5116 4.0 kHz") << 10.234375 << Isd5116At4kHz << 20;
    QTest::newRow("2.50 s on ISD 1760") << 2.5 << Isd1760 << 20;
    QTest::newRow("3.40 s on ISD 1760") << 3.4 << Isd1760 << 28;
}

void TestPlan::rowsNeededOnThreeChips() {
    QFETCH(double, seconds);
    QFETCH(int, type);
    QFETCH(int, rows);
    // Measured from a real file: 64 kHz gives every length here whole frames.
    TempFolder folder;
    const QString path = folder.file(QStringLiteral("tone.wav"));
    QVERIFY(TestSounds::writeToneWav(path, 64000, 1, seconds, SF_FORMAT_PCM_16));
    MidiRenderer midi;
    const auto usecs = SoundLengths::measure(path, midi);
    QVERIFY(usecs.has_value());
    QCOMPARE(ChipGeometry::ofType(type).rowsFor(*usecs), rows);
}

void TestPlan::lengthsAreMeasuredInTheBackgroundAndKept() {
    TempFolder folder;
    const QString path = folder.file(QStringLiteral("one.wav"));
    QVERIFY(TestSounds::writeToneWav(path, 8000, 1, 1.5, SF_FORMAT_PCM_16));
    SoundLengths lengths;
    QSignalSpy measured(&lengths, &SoundLengths::measured);
    QVERIFY(!lengths.known(path).has_value());
    QVERIFY(lengths.busy());
    QVERIFY(measured.wait(10000));
    QCOMPARE(measured.at(0).at(0).toString(), path);
    QCOMPARE(lengths.known(path), std::optional<qint64>(1500000));
    QVERIFY(!lengths.busy());
    // A file rewritten with another length is measured again.
    QVERIFY(TestSounds::writeToneWav(path, 8000, 1, 2.25, SF_FORMAT_PCM_16));
    QCOMPARE(lengths.now(path), std::optional<qint64>(2250000));
}

void TestPlan::unreadableFileHasNoLength() {
    TempFolder folder;
    const QString text = folder.file(QStringLiteral("notes.wav"));
    QVERIFY(TestSounds::writeFile(text, "this is no sound"));
    const QString brokenMidi = folder.file(QStringLiteral("broken.mid"));
    QVERIFY(TestSounds::writeFile(brokenMidi, QByteArray("MThd\0\0\0\6", 8)));
    SoundLengths lengths;
    QVERIFY(!lengths.now(text).has_value());
    QVERIFY(!lengths.now(brokenMidi).has_value());
    QVERIFY(!lengths.now(folder.file(QStringLiteral("missing.wav"))).has_value());
}

void TestPlan::fitOfAFileBetweenItsAddresses_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QList<QStringList>>("table");
    QTest::addColumn<double>("seconds");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("why");
    const QString a = QStringLiteral("/s/bell.wav");
    const QString b = QStringLiteral("/s/next.wav");
    const QString s = QStringLiteral("00000");
    QTest::newRow("fits exactly") << Isd33060 << QList<QStringList>{{s, QStringLiteral("00019"), a}}
                                  << 3.0 << 19 << QString();
    QTest::newRow("one row too long")
        << Isd33060 << QList<QStringList>{{s, QStringLiteral("00018"), a}} << 3.0 << 18
        << QStringLiteral("bell.wav lasts 3.00 s; rows 0-18 hold 2.85 s");
    QTest::newRow("no stop, the next message follows")
        << Isd33060 << QList<QStringList>{{s, notUsed, a}, {QStringLiteral("00015"), notUsed, b}}
        << 3.0 << 14 << QStringLiteral("bell.wav lasts 3.00 s; rows 0-14 hold 2.25 s");
    QTest::newRow("no stop, room before the next message")
        << Isd33060 << QList<QStringList>{{s, notUsed, a}, {QStringLiteral("00020"), notUsed, b}}
        << 3.0 << 19 << QString();
    QTest::newRow("no stop, a lower address after it is passed over")
        << Isd33060
        << QList<QStringList>{{QStringLiteral("00100"), notUsed, a},
                              {QStringLiteral("00050"), notUsed, b},
                              {QStringLiteral("00130"), notUsed, b}}
        << 3.0 << 129 << QString();
    QTest::newRow("no stop, nothing follows: end of memory")
        << Isd33060 << QList<QStringList>{{QStringLiteral("00390"), notUsed, a}} << 3.0 << 399
        << QStringLiteral("bell.wav lasts 3.00 s; rows 390-399 hold 1.50 s");
    QTest::newRow("ISD 1760 between its addresses")
        << Isd1760 << QList<QStringList>{{QStringLiteral("00016"), QStringLiteral("00035"), a}}
        << 3.4 << 35 << QStringLiteral("bell.wav lasts 3.40 s; rows 16-35 hold 2.50 s");
}

void TestPlan::fitOfAFileBetweenItsAddresses() {
    QFETCH(int, type);
    QFETCH(QList<QStringList>, table);
    QFETCH(double, seconds);
    QFETCH(int, limit);
    QFETCH(QString, why);
    StringGrid fileGrid(FileColumn::Count, TableLayout::StartRows);
    fillTable(fileGrid, table);
    const FitCheck fit(ChipGeometry::ofType(type),
                       lengthsFrom({{QStringLiteral("/s/bell.wav"), secs(seconds)},
                                    {QStringLiteral("/s/next.wav"), secs(1.0)}}));
    const auto placements = fit.place(fileGrid);
    QCOMPARE(int(placements.size()), int(table.size()));
    const Placement& first = placements.front();
    QCOMPARE(first.limit, limit);
    QCOMPARE(first.cut(), !why.isEmpty());
    QCOMPARE(fit.whyCut(first), why);
}

void TestPlan::fileWithoutStartFollowsThePreviousOne() {
    StringGrid fileGrid(FileColumn::Count, TableLayout::StartRows);
    fillTable(fileGrid, {{QStringLiteral("00010"), notUsed, QStringLiteral("/s/a.wav")},
                         {notUsed, notUsed, QStringLiteral("/s/b.wav")},
                         {notUsed, notUsed, QStringLiteral("/s/c.wav")},
                         {notUsed, notUsed, QStringLiteral("/s/d.wav")}});
    // c's length is not known yet, so where d starts is not known either.
    const FitCheck fit(ChipGeometry::ofType(Isd33060),
                       lengthsFrom({{QStringLiteral("/s/a.wav"), secs(3.0)},
                                    {QStringLiteral("/s/b.wav"), secs(1.5)}}));
    const auto p = fit.place(fileGrid);
    QCOMPARE(*p[0].start, 10);
    QCOMPARE(p[0].end(), 29);
    QCOMPARE(*p[1].start, 30);
    QCOMPARE(p[1].end(), 39);
    QCOMPARE(*p[2].start, 40);
    QVERIFY(!p[2].lengthKnown());
    QVERIFY(!p[3].placed());
}

// The search behind a file's limit, against looking at every later row, on
// tables of every order: ascending, descending, repeated and missing starts.
void TestPlan::nextMessageFoundAsARowByRowSearchFindsIt() {
    QRandomGenerator random(7);
    for (int table = 0; table < 20; ++table) {
        const int rows = 1 + int(random.bounded(300));
        std::vector<std::optional<int>> starts;
        for (int row = 0; row < rows; ++row) {
            if (random.bounded(4) != 0)
                starts.push_back(int(random.bounded(table % 2 == 0 ? 40 : 4000)));
            else
                starts.push_back(std::nullopt);
        }
        const LaterStarts later(starts);
        for (int row = 1; row <= rows; ++row) {
            for (const std::optional<int> above :
                 {std::optional<int>(), starts[size_t(row - 1)], std::optional<int>(20)}) {
                std::optional<int> expected;
                for (int next = row + 1; next <= rows && !expected; ++next) {
                    const auto start = starts[size_t(next - 1)];
                    if (start && (!above || *start > *above))
                        expected = start;
                }
                QCOMPARE(later.after(row, above), expected);
            }
        }
    }
}

void TestPlan::cutWarningNamesEveryFileThatWillBeCut() {
    StringGrid fileGrid(FileColumn::Count, TableLayout::StartRows);
    fillTable(fileGrid,
              {{QStringLiteral("00000"), QStringLiteral("00009"), QStringLiteral("/s/a.wav")},
               {QStringLiteral("00010"), QStringLiteral("00100"), QStringLiteral("/s/b.wav")},
               {QStringLiteral("00200"), QStringLiteral("00201"), QStringLiteral("/s/c.wav")}});
    const FitCheck fit(ChipGeometry::ofType(Isd33060),
                       lengthsFrom({{QStringLiteral("/s/a.wav"), secs(2.0)},
                                    {QStringLiteral("/s/b.wav"), secs(2.0)},
                                    {QStringLiteral("/s/c.wav"), secs(1.0)}}));
    QCOMPARE(fit.cutWarning(fit.place(fileGrid)),
             QStringLiteral("Will be cut: a.wav lasts 2.00 s; rows 0-9 hold 1.50 s | c.wav lasts "
                            "1.00 s; rows 200-201 hold 0.30 s"));
    StringGrid fitting(4, 120);
    fillTable(fitting,
              {{QStringLiteral("00010"), QStringLiteral("00100"), QStringLiteral("/s/b.wav")}});
    QCOMPARE(fit.cutWarning(fit.place(fitting)), QString());
}

void TestPlan::planThreeFilesOnAnIsd33060() {
    StringGrid fileGrid(FileColumn::Count, TableLayout::StartRows);
    fillTable(fileGrid, {{notUsed, notUsed, QStringLiteral("/s/one.wav")},
                         {QStringLiteral("00300"), notUsed, QStringLiteral("/s/two.mid")},
                         {notUsed, QStringLiteral("00390"), QStringLiteral("/s/three.wav")}});
    const AddressPlanner planner(ChipGeometry::ofType(Isd33060),
                                 lengthsFrom({{QStringLiteral("/s/one.wav"), secs(3.0)},
                                              {QStringLiteral("/s/two.mid"), secs(1.0)},
                                              {QStringLiteral("/s/three.wav"), secs(4.5)}}));
    const auto result = planner.plan(fileGrid);
    QVERIFY(result.planned);
    QCOMPARE(result.rowsUsed, 57);
    const QStringList expected[] = {{QStringLiteral("00000"), QStringLiteral("00019")},
                                    {QStringLiteral("00020"), QStringLiteral("00026")},
                                    {QStringLiteral("00027"), QStringLiteral("00056")}};
    for (int row = 1; row <= 3; ++row) {
        QCOMPARE(fileGrid.cell(FileColumn::Start, row), expected[row - 1].at(0));
        QCOMPARE(fileGrid.cell(FileColumn::Stop, row), expected[row - 1].at(1));
    }
    QCOMPARE(fileGrid.cell(FileColumn::Start, 4), QString());
    QCOMPARE(result.message,
             QStringLiteral("3 files planned in rows 0-56; 343 rows (51.45 s) are left free."));
    // Laid out again, every file fits where it was planned.
    const FitCheck fit(ChipGeometry::ofType(Isd33060),
                       lengthsFrom({{QStringLiteral("/s/one.wav"), secs(3.0)},
                                    {QStringLiteral("/s/two.mid"), secs(1.0)},
                                    {QStringLiteral("/s/three.wav"), secs(4.5)}}));
    QCOMPARE(fit.cutWarning(fit.place(fileGrid)), QString());
}

void TestPlan::planThatDoesNotFitChangesNothing() {
    StringGrid fileGrid(FileColumn::Count, TableLayout::StartRows);
    const QList<QStringList> table = {
        {QStringLiteral("00000"), notUsed, QStringLiteral("/s/long.wav")},
        {notUsed, notUsed, QStringLiteral("/s/longer.wav")}};
    fillTable(fileGrid, table);
    const AddressPlanner planner(ChipGeometry::ofType(Isd33060),
                                 lengthsFrom({{QStringLiteral("/s/long.wav"), secs(30.0)},
                                              {QStringLiteral("/s/longer.wav"), secs(35.0)}}));
    const auto result = planner.plan(fileGrid);
    QVERIFY(!result.planned);
    QCOMPARE(result.message,
             QStringLiteral("The table does not fit the ISD 33060: its files need 434 rows "
                            "(65.10 s), the chip holds 400 rows (60.00 s) from row 0. 34 rows "
                            "(5.10 s) are missing; no address was changed."));
    for (int row = 1; row <= 2; ++row) {
        for (int col = 1; col <= 3; ++col)
            QCOMPARE(fileGrid.cell(col, row), table.at(row - 1).at(col - 1));
    }
}

void TestPlan::planOnIsd1700StartsAtRow16() {
    StringGrid fileGrid(FileColumn::Count, TableLayout::StartRows);
    fillTable(fileGrid, {{notUsed, notUsed, QStringLiteral("/s/a.wav")},
                         {notUsed, notUsed, QStringLiteral("/s/b.wav")},
                         {notUsed, notUsed, QStringLiteral("/s/tiny.wav")}});
    const AddressPlanner planner(ChipGeometry::ofType(Isd1760),
                                 lengthsFrom({{QStringLiteral("/s/a.wav"), secs(2.0)},
                                              {QStringLiteral("/s/b.wav"), secs(1.0)},
                                              {QStringLiteral("/s/tiny.wav"), secs(0.05)}}));
    QVERIFY(planner.plan(fileGrid).planned);
    QCOMPARE(fileGrid.cell(FileColumn::Start, 1), QStringLiteral("00016"));
    QCOMPARE(fileGrid.cell(FileColumn::Stop, 1), QStringLiteral("00031"));
    QCOMPARE(fileGrid.cell(FileColumn::Start, 2), QStringLiteral("00032"));
    QCOMPARE(fileGrid.cell(FileColumn::Stop, 2), QStringLiteral("00039"));
    // A stop address lies above its start, so even the shortest file gets two rows.
    QCOMPARE(fileGrid.cell(FileColumn::Start, 3), QStringLiteral("00040"));
    QCOMPARE(fileGrid.cell(FileColumn::Stop, 3), QStringLiteral("00041"));
}

void TestPlan::planWithUnreadableFileChangesNothing() {
    StringGrid fileGrid(FileColumn::Count, TableLayout::StartRows);
    fillTable(fileGrid, {{notUsed, notUsed, QStringLiteral("/s/a.wav")},
                         {notUsed, notUsed, QStringLiteral("/s/gone.wav")}});
    const AddressPlanner planner(ChipGeometry::ofType(Isd33060),
                                 lengthsFrom({{QStringLiteral("/s/a.wav"), secs(2.0)}}));
    const auto result = planner.plan(fileGrid);
    QVERIFY(!result.planned);
    QCOMPARE(result.message,
             QStringLiteral("The length of gone.wav cannot be read; no address was changed."));
    QCOMPARE(fileGrid.cell(FileColumn::Start, 1), notUsed);
}

void TestPlan::exportedHeaderCompilesWithTheExpectedNumbers() {
    StringGrid fileGrid(FileColumn::Count, TableLayout::StartRows);
    fillTable(
        fileGrid,
        {{QStringLiteral("00000"), QStringLiteral("00019"), QStringLiteral("/s/Bell ring.wav")},
         {QStringLiteral("00020"), QStringLiteral("00026"), QStringLiteral("/s/2nd.mid")},
         {QStringLiteral("00027"), QStringLiteral("00056"), QStringLiteral("/s/bell-ring.wav")}});
    const ChipGeometry chip = ChipGeometry::ofType(Isd33060);
    const FitCheck fit(chip, lengthsFrom({{QStringLiteral("/s/Bell ring.wav"), secs(3.0)},
                                          {QStringLiteral("/s/2nd.mid"), secs(0.98)},
                                          {QStringLiteral("/s/bell-ring.wav"), secs(4.5)}}));
    const HeaderExport exporter(chip);
    const QByteArray header =
        exporter.header(exporter.fromFiles(fit.place(fileGrid)), QStringLiteral("file table"));
    QVERIFY(header.contains("ISD 33060"));

    TempFolder folder;
    QVERIFY(TestSounds::writeFile(folder.file(QStringLiteral("isd_messages.h")), header));
    const QByteArray check =
        "#define ISD_MESSAGES_DEFINE_TABLE\n"
        "#include \"isd_messages.h\"\n"
        "_Static_assert(ISD_MESSAGE_COUNT == 3, \"count\");\n"
        "_Static_assert(MSG_BELL_RING_START == 0 && MSG_BELL_RING_END == 19, \"first\");\n"
        "_Static_assert(MSG_BELL_RING_LENGTH_MS == 3000, \"first length\");\n"
        "_Static_assert(MSG_2ND_START == 20 && MSG_2ND_END == 26, \"second\");\n"
        "_Static_assert(MSG_2ND_LENGTH_MS == 980, \"second length\");\n"
        "_Static_assert(MSG_BELL_RING_2_START == 27 && MSG_BELL_RING_2_END == 56, \"third\");\n"
        "_Static_assert(MSG_BELL_RING_2_LENGTH_MS == 4500, \"third length\");\n"
        "unsigned int last_end(void) { return isd_messages[2].end; }\n";
    QVERIFY(TestSounds::writeFile(folder.file(QStringLiteral("check.c")), check));
    QProcess cc;
    cc.setWorkingDirectory(folder.path());
    cc.start(QStringLiteral(VOKAR_C_COMPILER),
             {QStringLiteral("-std=c11"), QStringLiteral("-Wall"), QStringLiteral("-Wextra"),
              QStringLiteral("-pedantic"), QStringLiteral("-Werror"), QStringLiteral("-c"),
              QStringLiteral("check.c"), QStringLiteral("-o"), QStringLiteral("check.o")});
    QVERIFY(cc.waitForFinished(60000));
    QVERIFY2(cc.exitCode() == 0, cc.readAllStandardError().constData());
}

void TestPlan::exportFromTheMemoryMap() {
    StringGrid mapGrid(MapColumn::Count, TableLayout::StartRows);
    fillMap(mapGrid, {{0, 99}, {100, 249}});
    mapGrid.setCell(MapColumn::Start, 3, QStringLiteral("00250"));
    mapGrid.setCell(MapColumn::Ovf, 3, QStringLiteral("00400"));
    const HeaderExport exporter(ChipGeometry::ofType(Isd33060));
    const auto messages = exporter.fromMap(mapGrid);
    QCOMPARE(int(messages.size()), 2);
    QCOMPARE(messages[1].name, QStringLiteral("MSG_2"));
    QCOMPARE(messages[1].start, 100);
    QCOMPARE(messages[1].end, 249);
    QCOMPARE(messages[1].lengthMs, qint64(22500));
    const QByteArray header = exporter.header(messages, QStringLiteral("memory map"));
    QVERIFY(header.contains("from the memory map"));
    QVERIFY(header.contains("#define MSG_1_END 99u\n"));
}

void TestPlan::exportNamesAreCIdentifiersAndUnique_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << QStringLiteral("bell.wav") << QStringLiteral("MSG_BELL");
    QTest::newRow("blanks and signs")
        << QStringLiteral("Door bell-2.wav") << QStringLiteral("MSG_DOOR_BELL_2");
    QTest::newRow("digit first") << QStringLiteral("1.mid") << QStringLiteral("MSG_1");
    QTest::newRow("letters beyond ASCII")
        << QStringLiteral("dzwonek żółty.wav") << QStringLiteral("MSG_DZWONEK____TY");
}

void TestPlan::exportNamesAreCIdentifiersAndUnique() {
    QFETCH(QString, fileName);
    QFETCH(QString, name);
    QCOMPARE(HeaderExport::nameFor(fileName), name);
}

void TestPlan::verifyComparesRecordsWithTheTable_data() {
    QTest::addColumn<Records>("records");
    QTest::addColumn<QList<int>>("differing");
    QTest::addColumn<QString>("summary");
    // The table: rows 0-19 (3.0 s), 20-26 (1.0 s), 27-56 (4.5 s).
    QTest::newRow("all as planned")
        << Records{{0, 19}, {20, 26}, {27, 56}} << QList<int>{}
        << QStringLiteral("Verified: all 3 messages match the file table.");
    // Row 2 has no start address of its own: it follows row 1 where that ended.
    QTest::newRow("within one row")
        << Records{{0, 20}, {21, 26}, {27, 56}} << QList<int>{}
        << QStringLiteral("Verified: all 3 messages match the file table.");
    // Row 2 has no stop address: the programmer records on until the stop
    // that answers its next report, up to a second (7 rows) after the sound.
    QTest::newRow("run on for one report without a stop address")
        << Records{{0, 20}, {21, 34}, {27, 56}} << QList<int>{}
        << QStringLiteral("Verified: all 3 messages match the file table.");
    QTest::newRow("run on for longer than one report")
        << Records{{0, 19}, {20, 40}, {27, 56}} << QList<int>{2}
        << QStringLiteral("Verify: 1 of 3 messages differ - row 2: 21 rows (3.15 s) found, the "
                          "file needs 7 rows (1.05 s)");

    QTest::newRow("second message shortened")
        << Records{{0, 19}, {20, 23}, {27, 56}} << QList<int>{2}
        << QStringLiteral("Verify: 1 of 3 messages differ - row 2: 4 rows (0.60 s) found, the "
                          "file needs 7 rows (1.05 s)");
    QTest::newRow("third found elsewhere, one missing")
        << Records{{0, 19}, {30, 56}} << QList<int>{2, 3}
        << QStringLiteral("Verify: 2 of 3 messages differ - row 2: found at 00030, meant for "
                          "00020; row 3: no message found");
}

void TestPlan::verifyComparesRecordsWithTheTable() {
    QFETCH(Records, records);
    QFETCH(QList<int>, differing);
    QFETCH(QString, summary);
    StringGrid fileGrid(FileColumn::Count, TableLayout::StartRows);
    fillTable(fileGrid,
              {{QStringLiteral("00000"), QStringLiteral("00019"), QStringLiteral("/s/a.wav")},
               {notUsed, notUsed, QStringLiteral("/s/b.wav")},
               {QStringLiteral("00027"), QStringLiteral("00056"), QStringLiteral("/s/c.wav")}});
    const ChipGeometry chip = ChipGeometry::ofType(Isd33060);
    const FitCheck fit(chip, lengthsFrom({{QStringLiteral("/s/a.wav"), secs(3.0)},
                                          {QStringLiteral("/s/b.wav"), secs(1.0)},
                                          {QStringLiteral("/s/c.wav"), secs(4.5)}}));
    StringGrid mapGrid(MapColumn::Count, TableLayout::StartRows);
    fillMap(mapGrid, records);
    const auto result = RecordVerifier(chip).verify(fit.place(fileGrid), mapGrid);
    const std::vector<int> rows = result.differingRows();
    QCOMPARE(QList<int>(rows.begin(), rows.end()), differing);
    QCOMPARE(result.allMatch(), differing.isEmpty());
    QCOMPARE(result.summary, summary);
}

void TestPlan::verifyLetsARecordingRunOnToItsStopAddress_data() {
    QTest::addColumn<Records>("records");
    QTest::addColumn<bool>("matches");
    // 1.2 s (8 rows) with room up to row 39: the stop that answers the next
    // report may come up to a second (7 rows) after the sound.
    QTest::newRow("as long as the sound") << Records{{0, 7}} << true;
    QTest::newRow("ran on for a report") << Records{{0, 15}} << true;
    QTest::newRow("ran on for longer") << Records{{0, 20}} << false;
    QTest::newRow("shorter than the sound") << Records{{0, 5}} << false;
}

void TestPlan::verifyLetsARecordingRunOnToItsStopAddress() {
    QFETCH(Records, records);
    QFETCH(bool, matches);
    StringGrid files(4, 120);
    fillTable(files,
              {{QStringLiteral("00000"), QStringLiteral("00039"), QStringLiteral("/s/a.wav")}});
    const ChipGeometry chip = ChipGeometry::ofType(Isd33060);
    const FitCheck fit(chip, lengthsFrom({{QStringLiteral("/s/a.wav"), secs(1.2)}}));
    StringGrid map(7, 120);
    fillMap(map, records);
    QCOMPARE(RecordVerifier(chip).verify(fit.place(files), map).allMatch(), matches);
}

void TestPlan::layoutPutsBlocksAtTheirRows() {
    const MemoryLayout layout = TwoFilesAndARecord().layout();
    // 400 rows over 800 pixels: two pixels a row; files above, records below.
    const QRect area(10, 5, 800, 20);
    QList<QRect> files_, records, cut;
    for (const PictureBlock& b : layout.blocks()) {
        if (b.kind == PictureBlock::Kind::File)
            files_.append(layout.rectOf(b, area));
        if (b.kind == PictureBlock::Kind::Record)
            records.append(layout.rectOf(b, area));
        if (b.state == PictureBlock::State::Cut)
            cut.append(layout.rectOf(b, area));
    }
    QCOMPARE(files_, (QList<QRect>{QRect(10, 5, 40, 10), QRect(410, 5, 20, 10)}));
    QCOMPARE(records, QList<QRect>{QRect(210, 15, 300, 10)});
    QCOMPARE(cut, QList<QRect>{QRect(410, 5, 20, 10)});
    const PictureBlock* hit = layout.blockAt(QPoint(415, 8), area);
    QVERIFY(hit != nullptr);
    QCOMPARE(hit->tableRow, 2);
    QCOMPARE(hit->tip, QStringLiteral("b.wav\nrows 200-209 (1.50 s)\nlasts 3.00 s\nb.wav lasts "
                                      "3.00 s; rows 200-209 hold 1.50 s"));
    const PictureBlock* record = layout.blockAt(QPoint(300, 20), area);
    QVERIFY(record != nullptr);
    QCOMPARE(record->kind, PictureBlock::Kind::Record);
    QCOMPARE(record->tip, QStringLiteral("Record 1\nrows 100-249 (22.50 s)"));
}

void TestPlan::layoutMarksReservedRowsAndFreeSpace() {
    StringGrid fileGrid(FileColumn::Count, TableLayout::StartRows);
    fillTable(fileGrid,
              {{QStringLiteral("00016"), QStringLiteral("00035"), QStringLiteral("/s/a.wav")}});
    const ChipGeometry chip = ChipGeometry::ofType(Isd1760); // rows 0-496
    const FitCheck fit(chip, lengthsFrom({{QStringLiteral("/s/a.wav"), secs(2.5)}}));
    StringGrid mapGrid(MapColumn::Count, TableLayout::StartRows);
    const MemoryLayout layout(chip, fit.place(fileGrid), mapGrid, nullptr);
    const QRect area(0, 0, 497, 20); // one pixel a row
    Records freeFiles;
    QRect reserved;
    for (const PictureBlock& b : layout.blocks()) {
        if (b.kind == PictureBlock::Kind::Reserved)
            reserved = layout.rectOf(b, area);
        if (b.kind == PictureBlock::Kind::Free && b.lane == PictureBlock::Lane::Files)
            freeFiles.append({b.firstRow, b.lastRow});
    }
    QCOMPARE(reserved, QRect(0, 0, 16, 20));
    QCOMPARE(freeFiles, (Records{{36, 496}}));
    QCOMPARE(layout.blockAt(QPoint(5, 15), area)->kind, PictureBlock::Kind::Reserved);
    QVERIFY(layout.blockAt(QPoint(300, 15), area)
                ->tip.startsWith(QStringLiteral("Free\nrows 16-496 (")));
}

void TestPlan::pictureDrawsBlocksAtTheirPixels() {
    MemoryPictureView view;
    view.resize(404, 26); // a frame of two pixels: one pixel a row
    view.showLayout(TwoFilesAndARecord().layout());
    view.setCursorRow(300);
    QCOMPARE(view.drawingArea(), QRect(2, 2, 400, 22));
    const QImage image = view.grab().toImage();
    auto colourAt = [&image](int x, int y) { return QColor(image.pixel(x, y)); };
    PictureBlock file;
    file.kind = PictureBlock::Kind::File;
    PictureBlock cut = file;
    cut.state = PictureBlock::State::Cut;
    PictureBlock record;
    record.kind = PictureBlock::Kind::Record;
    PictureBlock free;
    // Rows 0-19 of the files lane, rows 200-209 cut, rows 100-249 of the map lane.
    QCOMPARE(colourAt(12, 6), MemoryPictureView::colourOf(file));
    QCOMPARE(colourAt(206, 6), MemoryPictureView::colourOf(cut));
    QCOMPARE(colourAt(180, 18), MemoryPictureView::colourOf(record));
    QCOMPARE(colourAt(180, 6), MemoryPictureView::colourOf(free));
    QCOMPARE(colourAt(60, 18), MemoryPictureView::colourOf(free));
    // Just outside a block is free again; the cursor is a black line at its row.
    QCOMPARE(colourAt(23, 6), MemoryPictureView::colourOf(free));
    QCOMPARE(colourAt(302, 13), QColor(Qt::black));
    QCOMPARE(colourAt(320, 13), MemoryPictureView::colourOf(free));
}

QTEST_MAIN(TestPlan)
#include "tst_plan.moc"
