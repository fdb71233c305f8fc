#include "../files/tablesfixture.h"
#include "tempfolder.h"

#include "core/apperror.h"
#include "core/localtext.h"
#include "files/listfilereader.h"
#include "map/mapfile.h"
#include "map/memorymap.h"

#include <QtTest>

namespace {
QStringList texts(std::initializer_list<const char*> items) {
    QStringList list;
    for (const char* item : items)
        list.append(QString::fromLatin1(item));
    return list;
}

const QStringList record1 = {QStringLiteral("00000"), QStringLiteral("0000"),
                             QStringLiteral("00123"), QStringLiteral("007B")};
const QStringList record2 = {QStringLiteral("00124"), QStringLiteral("007C"),
                             QStringLiteral("00300"), QStringLiteral("012C")};
const QStringList record3 = {QStringLiteral("00301"), QStringLiteral("012D"),
                             QStringLiteral("00399"), QStringLiteral("018F"),
                             QStringLiteral("00400"), QStringLiteral("0190")};
} // namespace

class TestMemoryMap : public QObject {
    Q_OBJECT
private slots:
    void saveWritesOneLinePerRecord();
    void emptyMapSavesNothingAndShowsNoDialog();
    void saveWritesNothingWhenCancelledOrWithoutHexStart();
    void failedSaveIsReported();
    void loadFillsRowsAsTheyStand_data();
    void loadFillsRowsAsTheyStand();
    void loadSwitchesMapCommandsOnly();
    void unopenableMapKeepsTheMap_data();
    void unopenableMapKeepsTheMap();
    void overlongLineIsReportedAndEarlierRowsKept();
    void selectingRecordShowsItsStart_data();
    void selectingRecordShowsItsStart();
    void selectingFreeRowChangesNothing();
    void selectingBadStartCellFails();
    void scanFillsRecordsAndOverflow();
    void selectByAddressFindsExactOrNextRecord_data();
    void selectByAddressFindsExactOrNextRecord();
};

void TestMemoryMap::saveWritesOneLinePerRecord() {
    TempFolder temp;
    TablesFixture f;
    f.fillMap({record1, record2, record3});
    f.folders.MapFolder = QStringLiteral("/maps");
    f.save.fileName = QStringLiteral("/lists/last.lsp");
    f.prompter.answers = {temp.file(QStringLiteral("chip"))};
    MapFile(f.context).saveMemoryMap();
    QCOMPARE(temp.read(QStringLiteral("chip.mpp")),
             QByteArray("00000;0000;00123;007B;;;\r\n"
                        "00124;007C;00300;012C;;;\r\n"
                        "00301;012D;00399;018F;00400;0190;\r\n"));
    const FileDialog shown = f.prompter.shown.constFirst();
    QCOMPARE(shown.fileName, QString());
    QCOMPARE(shown.defaultExt, QStringLiteral("mpp"));
    QCOMPARE(shown.filter, QStringLiteral("Record list (*.mpp)|*.mpp"));
    QCOMPARE(shown.initialDir, QStringLiteral("/maps"));
    QCOMPARE(f.folders.MapFolder, temp.path() + u'/');
    QVERIFY(f.captions.isEmpty());
}

void TestMemoryMap::emptyMapSavesNothingAndShowsNoDialog() {
    TablesFixture f;
    f.mapGrid.setCell(MapColumn::Eom, 1, QStringLiteral("00123")); // an EOM alone is no record
    MapFile(f.context).saveMemoryMap();
    QVERIFY(f.prompter.shown.isEmpty());
}

void TestMemoryMap::saveWritesNothingWhenCancelledOrWithoutHexStart() {
    TempFolder temp;
    TablesFixture f;
    f.fillMap({{QStringLiteral("00000"), QString(), QStringLiteral("00010")}});
    const QString name = temp.file(QStringLiteral("m.mpp"));
    f.prompter.answers = {QString(), name};
    MapFile map(f.context);
    map.saveMemoryMap();
    map.saveMemoryMap();
    QCOMPARE(f.prompter.shown.size(), 2);
    QVERIFY(!QFile::exists(name));
    QCOMPARE(f.folders.MapFolder, QString());
}

void TestMemoryMap::failedSaveIsReported() {
    TempFolder temp;
    TablesFixture f;
    f.fillMap({record1});
    const QString name = temp.file(QStringLiteral("missing/m.mpp"));
    f.prompter.answers = {name};
    MapFile(f.context).saveMemoryMap();
    QCOMPARE(f.prompter.messages.size(), 1);
    QVERIFY(f.prompter.messages.constFirst().contains(QDir::toNativeSeparators(name)));
}

void TestMemoryMap::loadFillsRowsAsTheyStand_data() {
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("row1");
    QTest::newRow("four lines") << QByteArray("1;2;3;4;5;6;\r\na;;;;;;\r\nb;;;;;;\r\nc;;;;;;\r\n")
                                << 124 << texts({"1", "2", "3", "4", "5", "6"});
    QTest::newRow("three fields") << QByteArray("00010;000A;00020\r\n") << 121
                                  << texts({"00010", "000A", "00020", "", "", ""});
    QTest::newRow("text after the sixth field")
        << QByteArray("1;2;3;4;5;6;7;8\n") << 121 << texts({"1", "2", "3", "4", "5", "6"});
    QTest::newRow("unchecked texts")
        << QByteArray("x y;?;;z") << 121 << texts({"x y", "?", "", "z", "", ""});
    QTest::newRow("empty file") << QByteArray() << 120 << texts({"", "", "", "", "", ""});
    QTest::newRow("CR alone (old Mac editors)") << QByteArray("1;2;3;4;5;6;\ra;;;;;;\rb;;;;;;\r")
                                                << 123 << texts({"1", "2", "3", "4", "5", "6"});
    QTest::newRow("CR LF, LF and CR mixed") << QByteArray("1;2;;;;;\r\na;;;;;;\nb;;;;;;\rc;;;;;;")
                                            << 124 << texts({"1", "2", "", "", "", ""});
    QTest::newRow("8-bit text kept")
        << QByteArray("caf\xe9;;;;;;\r\n") << 121
        << QStringList{
               LocalText::decode("caf\xe9"), QString(), QString(), QString(), QString(), QString()};
}

void TestMemoryMap::loadFillsRowsAsTheyStand() {
    QFETCH(QByteArray, contents);
    QFETCH(int, rows);
    QFETCH(QStringList, row1);
    TempFolder temp;
    temp.write(QStringLiteral("m.mpp"), contents);
    TablesFixture f;
    f.fillMap({record1, record2, record3});
    f.mapGrid.setRowCount(500);
    f.prompter.answers = {temp.file(QStringLiteral("m.mpp"))};
    MapFile(f.context).openMemoryMap();
    QCOMPARE(f.mapGrid.RowCount(), rows);
    QStringList loaded;
    for (int col = 1; col <= 6; ++col)
        loaded.append(f.mapGrid.cell(col, 1));
    QCOMPARE(loaded, row1);
    for (int row = 1; row < rows; ++row)
        QCOMPARE(f.mapGrid.cell(MapColumn::Number, row), QString::number(row));
    QCOMPARE(f.mapGrid.cell(MapColumn::Start, rows - 119), QString());
    QCOMPARE(f.mapScrolledToTop, 1);
    QCOMPARE(f.folders.MapFolder, temp.path());
    QCOMPARE(f.prompter.shown.constFirst().filter, QStringLiteral("Record list (*.mpp)|*.mpp"));
    QVERIFY(f.prompter.messages.isEmpty());
}

void TestMemoryMap::loadSwitchesMapCommandsOnly() {
    TempFolder temp;
    temp.write(QStringLiteral("m.mpp"), "00000;0000;00123;007B;;;\r\n");
    TablesFixture f;
    f.prompter.answers = {temp.file(QStringLiteral("m.mpp"))};
    MapFile(f.context).openMemoryMap();
    QVERIFY(f.enabled("SaveMap"));
    QVERIFY(f.enabled("SpeedButton6"));
    QVERIFY(!f.enabled("CopyFromMap")); // the file table is empty
    QVERIFY(!f.enabled("SaveList"));
    QCOMPARE(f.soundFilesShown, 0);
    QVERIFY(f.captions.isEmpty());
    // A file added afterwards makes copying possible.
    f.fillFiles({{QStringLiteral("not used"), QStringLiteral("not used"), QStringLiteral("a")}});
    f.availability.UpdateMenu();
    QVERIFY(f.enabled("CopyFromMap"));
}

void TestMemoryMap::unopenableMapKeepsTheMap_data() {
    QTest::addColumn<bool>("folder");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << false << "No such file or directory";
    QTest::newRow("a folder") << true << "file to open is a directory";
}

// "Cannot open <file>: <reason>", and the map stays as it was.
void TestMemoryMap::unopenableMapKeepsTheMap() {
    QFETCH(bool, folder);
    QFETCH(QString, reason);
    TempFolder temp;
    if (folder)
        QVERIFY(QDir(temp.path()).mkdir(QStringLiteral("m.mpp")));
    TablesFixture f;
    f.fillMap({record1});
    f.availability.UpdateMapCommands();
    const QString name = temp.file(QStringLiteral("m.mpp"));
    f.prompter.answers = {name};
    MapFile(f.context).openMemoryMap();
    QCOMPARE(f.prompter.messages,
             QStringList{QStringLiteral("Cannot open %1: %2").arg(name, reason)});
    QCOMPARE(f.mapGrid.RowCount(), 121);
    QCOMPARE(f.mapGrid.cell(1, 1), record1.at(0));
    QVERIFY(f.enabled("SaveMap"));
}

void TestMemoryMap::overlongLineIsReportedAndEarlierRowsKept() {
    TempFolder temp;
    temp.write(QStringLiteral("m.mpp"), "00001;0001;;;;;\r\n" +
                                            QByteArray(ListFileReader::MaxLineLength + 1, '7') +
                                            "\r\n00009;0009;;;;;\r\n");
    TablesFixture f;
    f.prompter.answers = {temp.file(QStringLiteral("m.mpp"))};
    MapFile(f.context).openMemoryMap();
    QCOMPARE(f.prompter.messages, QStringList{QStringLiteral("Bad file format")});
    QCOMPARE(f.mapGrid.cell(MapColumn::Start, 1), QStringLiteral("00001"));
    QCOMPARE(f.mapGrid.cell(MapColumn::Start, 2), QString());
    QCOMPARE(f.mapGrid.RowCount(), 121);
    QVERIFY(f.enabled("SaveMap"));
}

void TestMemoryMap::selectingRecordShowsItsStart_data() {
    QTest::addColumn<int>("chipType");
    QTest::addColumn<QString>("timeToEnd");
    QTest::newRow("ISD 33060") << 1 << "  41.55 sek.";
    QTest::newRow("ISD 1730") << 41 << "Rosc";
}

void TestMemoryMap::selectingRecordShowsItsStart() {
    QFETCH(int, chipType);
    QFETCH(QString, timeToEnd);
    TablesFixture f;
    f.chip.ChipType = static_cast<qint8>(chipType);
    f.fillMap({record2, {QStringLiteral("00123"), QStringLiteral("zzzz")}});
    MemoryMap map(f.mapGrid, f.panel, f.chip);
    f.mapGrid.setRow(2);
    map.mapRowClicked();
    QCOMPARE(f.panel.address(), QStringLiteral("00123"));
    QCOMPARE(f.panel.addressHex(), QStringLiteral("007B"));
    QCOMPARE(f.panel.timeToEnd(), f.chip.TimeToEndText(123));
    QCOMPARE(f.panel.timeToEnd(), timeToEnd);
}

void TestMemoryMap::selectingFreeRowChangesNothing() {
    TablesFixture f;
    f.fillMap({record1});
    f.panel.setText(PanelTexts::Address, QStringLiteral("00042"));
    MemoryMap map(f.mapGrid, f.panel, f.chip);
    map.SelectMapRow(5);
    QCOMPARE(f.mapGrid.Row(), 5);
    QCOMPARE(f.panel.address(), QStringLiteral("00042"));
    // Selecting the row that is selected already does not run again.
    map.SelectMapRow(1);
    QCOMPARE(f.panel.address(), QStringLiteral("00000"));
    f.panel.setText(PanelTexts::Address, QStringLiteral("00042"));
    map.SelectMapRow(1);
    QCOMPARE(f.panel.address(), QStringLiteral("00042"));
}

void TestMemoryMap::selectingBadStartCellFails() {
    TablesFixture f;
    f.fillMap({record1, {QStringLiteral("junk")}});
    f.panel.setText(PanelTexts::Address, QStringLiteral("00042"));
    MemoryMap map(f.mapGrid, f.panel, f.chip);
    f.mapGrid.setRow(2);
    QVERIFY_THROWS_EXCEPTION(AppError, map.mapRowClicked());
    QCOMPARE(f.panel.address(), QStringLiteral("00042"));
}

void TestMemoryMap::scanFillsRecordsAndOverflow() {
    TablesFixture f;
    f.fillMap({record1, record2});
    f.mapGrid.setRowCount(300);
    MemoryMap map(f.mapGrid, f.panel, f.chip);
    map.ClearMemoryMap();
    QCOMPARE(f.mapGrid.RowCount(), 120);
    QCOMPARE(f.mapGrid.cell(MapColumn::Start, 1), QString());
    map.AddMapRecord(0, 123);
    map.AddMapRecord(124, 300);
    map.AddMapOverflow(400);
    QCOMPARE(f.mapGrid.RowCount(), 123);
    QCOMPARE(f.mapGrid.cell(MapColumn::EomHex, 1), QStringLiteral("007B"));
    QCOMPARE(f.mapGrid.cell(MapColumn::Start, 2), QStringLiteral("00124"));
    QStringList overflowRow;
    for (int col = 1; col <= 6; ++col)
        overflowRow.append(f.mapGrid.cell(col, 3));
    QCOMPARE(overflowRow, (texts({"", "", "", "", "00400", "0190"})));
    QCOMPARE(f.mapGrid.FirstFreeRow(), 3); // an overflow alone leaves the row free
    QCOMPARE(f.mapGrid.cell(MapColumn::Number, 122), QStringLiteral("122"));
}

void TestMemoryMap::selectByAddressFindsExactOrNextRecord_data() {
    QTest::addColumn<int>("address");
    QTest::addColumn<bool>("next");
    QTest::addColumn<int>("row");
    QTest::newRow("exact") << 124 << false << 2;
    QTest::newRow("next not allowed") << 123 << false << 1;
    QTest::newRow("next allowed") << 123 << true << 2;
    QTest::newRow("no such record") << 200 << true << 1;
}

void TestMemoryMap::selectByAddressFindsExactOrNextRecord() {
    QFETCH(int, address);
    QFETCH(bool, next);
    QFETCH(int, row);
    TablesFixture f;
    f.fillMap({record1, record2, record3});
    MemoryMap map(f.mapGrid, f.panel, f.chip);
    map.SelectMapRowAt(address, next);
    QCOMPARE(f.mapGrid.Row(), row);
    if (row != 1)
        QCOMPARE(f.panel.address(), f.mapGrid.cell(MapColumn::Start, row));
}

QTEST_MAIN(TestMemoryMap)
#include "tst_memorymap.moc"
