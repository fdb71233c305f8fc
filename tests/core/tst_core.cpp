#include "core/availability.h"
#include "core/commands.h"
#include "core/configfile.h"
#include "core/filedialog.h"
#include "core/folders.h"
#include "core/stringgrid.h"
#include "core/tablelayout.h"
#include "tempfolder.h"

#include <QSignalSpy>
#include <QTest>

class TestCore : public QObject {
    Q_OBJECT

private slots:
    void settingsLinesAcceptBothLineEnds_data();
    void settingsLinesAcceptBothLineEnds();
    void settingsReadStopsAtRequestedCount();
    void settingsMissingFileReadsNothing();
    void settingsLongLineIsReadWhole();
    void settingsWrittenWithCrLf();
    void settingsWriteFailureKeepsOldFile();
    void decimalParsing_data();
    void decimalParsing();

    void rememberFolder_data();
    void rememberFolder();
    void rememberFolderWithoutSeparatorKeepsFolder();

    void gridGrowsAndShrinksWithModelSignals();
    void gridSelectionSignalsOnlyOnChange();
    void gridCellsOutsideAreEmptyAndIgnored();

    void updateMenuFollowsFileTable_data();
    void updateMenuFollowsFileTable();
    void mapCommandsNeedARecord();
    void closingListLeavesContextMenu();
    void playbackSets();
    void everyCommandHasAUniqueName();
};

void TestCore::settingsLinesAcceptBothLineEnds_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\nc\r\n");
    QTest::newRow("LF") << QByteArray("a\nb\nc\n");
    QTest::newRow("no final break") << QByteArray("a\r\nb\nc");
}

void TestCore::settingsLinesAcceptBothLineEnds() {
    QFETCH(QByteArray, bytes);
    TempFolder folder;
    folder.write(QStringLiteral("isdvokar.fig"), bytes);
    const auto lines = ConfigFile::readLines(7);
    QVERIFY(lines.has_value());
    QCOMPARE(*lines, QStringList({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
}

void TestCore::settingsReadStopsAtRequestedCount() {
    TempFolder folder;
    folder.write(QStringLiteral("isdvokar.fig"), "1\r\n2\r\n3\r\n4\r\n");
    QCOMPARE(ConfigFile::readLines(2)->size(), 2);
}

void TestCore::settingsMissingFileReadsNothing() {
    TempFolder folder;
    QVERIFY(!ConfigFile::readLines(7).has_value());
}

void TestCore::settingsLongLineIsReadWhole() {
    TempFolder folder;
    const QByteArray longFolder = "/home/user/" + QByteArray(300, 'x');
    folder.write(QStringLiteral("isdvokar.fig"), "h\r\n" + longFolder + "\r\nnext\r\n");
    const auto lines = ConfigFile::readLines(3);
    QCOMPARE(lines->at(1), QString::fromLatin1(longFolder));
    QCOMPARE(lines->at(2), QStringLiteral("next"));
}

void TestCore::settingsWrittenWithCrLf() {
    TempFolder folder;
    QCOMPARE(ConfigFile::writeLines({QStringLiteral("x"), QString(), QStringLiteral("z")}),
             QString());
    QCOMPARE(folder.read(QStringLiteral("isdvokar.fig")), QByteArray("x\r\n\r\nz\r\n"));
}

void TestCore::settingsWriteFailureKeepsOldFile() {
    TempFolder folder;
    folder.write(QStringLiteral("isdvokar.fig"), "old\r\n");
    // A folder of that name cannot be replaced by a file.
    QVERIFY(!ConfigFile::writeLines({QStringLiteral("new")}, folder.path()).isEmpty());
    const QString missing = folder.file(QStringLiteral("missing/isdvokar.fig"));
    QCOMPARE(ConfigFile::writeLines({QStringLiteral("new")}, missing),
             QStringLiteral("Cannot save \"%1\": No such file or directory").arg(missing));
    QCOMPARE(folder.read(QStringLiteral("isdvokar.fig")), QByteArray("old\r\n"));
}

void TestCore::decimalParsing_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << QStringLiteral("44") << true << 44;
    QTest::newRow("negative") << QStringLiteral("-5") << true << -5;
    QTest::newRow("blanks") << QStringLiteral(" 7 ") << true << 7;
    QTest::newRow("letters") << QStringLiteral("abc") << false << 0;
    QTest::newRow("empty") << QString() << false << 0;
    QTest::newRow("hex is not decimal") << QStringLiteral("0x10") << false << 0;
    QTest::newRow("trailing junk") << QStringLiteral("4x") << false << 0;
}

void TestCore::decimalParsing() {
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    const auto parsed = ConfigFile::parseDecimal(text);
    QCOMPARE(parsed.has_value(), ok);
    if (ok)
        QCOMPARE(*parsed, value);
}

void TestCore::rememberFolder_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("sound");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("map");
    const QString open = QStringLiteral("/home/ann/sounds");
    const QString save = QStringLiteral("/home/ann/lists/");
    QTest::newRow("1 sound from open") << 1 << open << QString() << QString();
    QTest::newRow("2 list from open") << 2 << QString() << open << QString();
    QTest::newRow("3 map from open") << 3 << QString() << QString() << open;
    QTest::newRow("4 list from save, with separator") << 4 << QString() << save << QString();
    QTest::newRow("5 map from save, with separator") << 5 << QString() << QString() << save;
    QTest::newRow("other kinds change nothing") << 6 << QString() << QString() << QString();
}

void TestCore::rememberFolder() {
    QFETCH(int, kind);
    FileDialog open;
    open.fileName = QStringLiteral("/home/ann/sounds/bell.wav");
    FileDialog save;
    save.kind = FileDialog::Kind::Save;
    save.fileName = QStringLiteral("/home/ann/lists/doors.lsp");
    RememberedFolders folders;
    folders.RememberFolder(kind, open, save);
    QTEST(folders.SoundFolder, "sound");
    QTEST(folders.ListFolder, "list");
    QTEST(folders.MapFolder, "map");
    // The dialogs' own names stay as they were.
    QCOMPARE(open.fileName, QStringLiteral("/home/ann/sounds/bell.wav"));
}

void TestCore::rememberFolderWithoutSeparatorKeepsFolder() {
    RememberedFolders folders;
    folders.ListFolder = QStringLiteral("/data/");
    FileDialog open;
    FileDialog save; // never used: no name yet
    folders.RememberFolder(4, open, save);
    QCOMPARE(folders.ListFolder, QStringLiteral("/data/"));
    // A separator in last place does not count.
    QCOMPARE(RememberedFolders::folderOf(QStringLiteral("/a/b/"), false), QStringLiteral("/a"));
}

void TestCore::gridGrowsAndShrinksWithModelSignals() {
    StringGrid grid(4, 120);
    QCOMPARE(grid.RowCount(), 120);
    QCOMPARE(grid.rowCount(), 119); // the header row is the view's header
    QCOMPARE(grid.columnCount(), 3);
    QSignalSpy inserted(&grid, &QAbstractItemModel::rowsInserted);
    grid.setRowCount(121);
    QCOMPARE(inserted.count(), 1);
    grid.setCell(3, 120, QStringLiteral("last.wav"));
    QCOMPARE(grid.data(grid.index(119, 2)).toString(), QStringLiteral("last.wav"));
    grid.setCell(0, 5, QStringLiteral("5"));
    QCOMPARE(grid.headerData(4, Qt::Vertical).toString(), QStringLiteral("5"));
    grid.setCell(1, 0, QStringLiteral("Start address"));
    QCOMPARE(grid.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Start address"));
    grid.insertRow(1);
    QCOMPARE(grid.cell(3, 121), QStringLiteral("last.wav"));
    grid.removeRow(1);
    grid.setRowCount(2);
    QCOMPARE(grid.RowCount(), 2);
    QCOMPARE(grid.cell(3, 120), QString());
}

void TestCore::gridSelectionSignalsOnlyOnChange() {
    StringGrid grid(4, 10);
    QSignalSpy selected(&grid, &StringGrid::rowSelected);
    grid.setRow(1);
    QCOMPARE(selected.count(), 0);
    grid.setRow(3);
    grid.setRow(3);
    QCOMPARE(selected.count(), 1);
    QCOMPARE(grid.Row(), 3);
}

void TestCore::gridCellsOutsideAreEmptyAndIgnored() {
    StringGrid grid(4, 3);
    grid.setCell(9, 1, QStringLiteral("x"));
    grid.setCell(1, 3, QStringLiteral("x"));
    QCOMPARE(grid.cell(9, 1), QString());
    QCOMPARE(grid.cell(1, 3), QString());
    QCOMPARE(grid.cell(-1, -1), QString());
}

namespace {

// The commands and the two tables their availability rules look at.
struct Availability {
    Commands commands;
    StringGrid fileGrid{FileColumn::Count, TableLayout::StartRows};
    StringGrid mapGrid{MapColumn::Count, TableLayout::StartRows};
    CommandAvailability availability{commands, fileGrid, mapGrid};
};

const char* const fileCommands[] = {
    "OdtwarzajPlik", "RecordISD", "DeletePlik",    "Delete",     "ClearList", "CloseFile",
    "SpeedButton5",  "SaveList",  "CheckRecords1", "Insert1",    "Remove1",   "RecordfiletoISD1",
    "PlayFile",      "RecTable",  "Startadress4",  "Stopadress4"};
} // namespace

void TestCore::updateMenuFollowsFileTable_data() {
    QTest::addColumn<QString>("row1");
    QTest::addColumn<QString>("row2");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("empty table") << QString() << QString() << false;
    QTest::newRow("one file") << QStringLiteral("/s/a.wav") << QString() << true;
    QTest::newRow("row 1 empty, row 2 filled counts as empty")
        << QString() << QStringLiteral("/s/b.wav") << false;
}

void TestCore::updateMenuFollowsFileTable() {
    QFETCH(QString, row1);
    QFETCH(QString, row2);
    QFETCH(bool, enabled);
    Availability a;
    a.fileGrid.setCell(FileColumn::File, 1, row1);
    a.fileGrid.setCell(FileColumn::File, 2, row2);
    // Start from the opposite state so that every switch is seen.
    for (const char* name : fileCommands)
        a.commands.action(QString::fromLatin1(name))->setEnabled(!enabled);
    a.availability.UpdateMenu();
    for (const char* name : fileCommands)
        QVERIFY2(a.commands.isEnabled(QString::fromLatin1(name)) == enabled, name);
    // The map is empty: nothing to copy or save.
    QVERIFY(!a.commands.isEnabled(QStringLiteral("CopyFromMap")));
    QVERIFY(!a.commands.isEnabled(QStringLiteral("SaveMap")));
}

void TestCore::mapCommandsNeedARecord() {
    Availability a;
    a.mapGrid.setCell(MapColumn::Start, 1, QStringLiteral("00000"));
    a.availability.mapLoaded();
    QVERIFY(a.commands.isEnabled(QStringLiteral("SaveMap")));
    QVERIFY(a.commands.isEnabled(QStringLiteral("SpeedButton6")));
    QVERIFY(!a.commands.isEnabled(QStringLiteral("CopyFromMap")));
    a.fileGrid.setCell(FileColumn::File, 1, QStringLiteral("/s/a.wav"));
    a.availability.UpdateMenu();
    QVERIFY(a.commands.isEnabled(QStringLiteral("CopyFromMap")));
}

void TestCore::closingListLeavesContextMenu() {
    Availability a;
    a.fileGrid.setCell(FileColumn::File, 1, QStringLiteral("/s/a.wav"));
    a.availability.UpdateMenu();
    a.fileGrid.setCell(FileColumn::File, 1, QString());
    a.availability.fileListClosed();
    for (const char* name : {"OdtwarzajPlik", "RecordISD", "DeletePlik", "ClearList", "SaveList",
                             "Insert1", "RecTable", "CheckRecords1"})
        QVERIFY2(!a.commands.isEnabled(QString::fromLatin1(name)), name);
    for (const char* name : {"Delete", "Startadress4", "Stopadress4"})
        QVERIFY2(a.commands.isEnabled(QString::fromLatin1(name)), name);
}

void TestCore::playbackSets() {
    Availability a;
    a.availability.localPlaybackStarted();
    QVERIFY(a.commands.isEnabled(QStringLiteral("SpeedButton7")));
    QVERIFY(a.commands.isEnabled(QStringLiteral("Stop2")));
    QVERIFY(!a.commands.isEnabled(QStringLiteral("RecordISD")));
    QVERIFY(!a.commands.isEnabled(QStringLiteral("PlayFile")));
    a.availability.playbackEnded();
    QVERIFY(!a.commands.isEnabled(QStringLiteral("SpeedButton7")));
    QVERIFY(a.commands.isEnabled(QStringLiteral("CheckRecords1")));
    QVERIFY(a.commands.isEnabled(QStringLiteral("RecTable")));
    a.availability.localPlaybackStarted();
    a.availability.localPlaybackStopped();
    QVERIFY(!a.commands.isEnabled(QStringLiteral("Stop2")));
    QVERIFY(a.commands.isEnabled(QStringLiteral("OdtwarzajPlik")));
}

void TestCore::everyCommandHasAUniqueName() {
    Commands commands;
    QSet<QString> names;
    for (QAction* act : commands.all())
        names.insert(act->objectName());
    QCOMPARE(names.size(), commands.all().size());
    QVERIFY_THROWS_EXCEPTION(std::exception, commands.action(QStringLiteral("NoSuchThing")));
    QSignalSpy triggered(&commands, &Commands::triggered);
    commands.action(QStringLiteral("Edit1"))->trigger();
    QCOMPARE(triggered.value(0).value(0).value<Handler>(), Handler::EditStartAddress);
}

QTEST_MAIN(TestCore)
#include "tst_core.moc"
