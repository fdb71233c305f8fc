#include "tablesfixture.h"

#include "core/apperror.h"
#include "files/filetable.h"

#include <QtTest>

namespace {
const QString notUsed = QStringLiteral("not used");

QList<QStringList> fiveEntries() {
    QList<QStringList> rows;
    for (int k = 1; k <= 5; ++k)
        rows.append(
            {QStringLiteral("0000%1").arg(k), notUsed, QStringLiteral("/s/f%1.wav").arg(k)});
    return rows;
}
} // namespace

class TestFileTable : public QObject {
    Q_OBJECT
private slots:
    void addPutsFileInFirstFreeRowAndGrowsByOne();
    void addRemembersSoundFolderAndFileType();
    void addCancelledStillRenumbersAndUpdatesCommands();
    void namesAListCannotStoreAreRefused_data();
    void namesAListCannotStoreAreRefused();
    void severalChosenGoInOrderWithoutTheRefused_data();
    void severalChosenGoInOrderWithoutTheRefused();
    void insertPlacesFileAtSelectionOrAfterEntries_data();
    void insertPlacesFileAtSelectionOrAfterEntries();
    void insertOverwritesStrayTextsOfTheFirstFreeRow();
    void insertCancelledChangesNothing();
    void removeMovesRowsUpAndShrinksOnlyAbove120_data();
    void removeMovesRowsUpAndShrinksOnlyAbove120();
    void removeOnFreeRowStillForgetsListFile();
    void removingLastFileDisablesFileCommands();
    void editStartAddress_data();
    void editStartAddress();
    void editStopAddress_data();
    void editStopAddress();
    void editAddressOfGarbageCellFailsAndKeepsRow();
    void removeAddressWritesNotUsedEvenOnFreeRow();
    void removeAddressOnEmptyTableDoesNothing();
    void selectingRowShowsItsStartAddress();
    void selectingRowWithBadStartCellResetsIt();
    void selectingRowOnlyRunsWhenSelectionMoves();
    void closeListEmptiesTableAndLeavesContextMenu();
};

void TestFileTable::addPutsFileInFirstFreeRowAndGrowsByOne() {
    TablesFixture f;
    FileTable table(f.context);
    f.prompter.answers = {QStringLiteral("/snd/a.wav")};
    table.addFile();
    QCOMPARE(f.fileGrid.RowCount(), 121);
    QCOMPARE(f.fileRow(1), (QStringList{notUsed, notUsed, QStringLiteral("/snd/a.wav")}));
    QCOMPARE(f.soundFilesShown, 1);
    for (const char* name :
         {"OdtwarzajPlik", "RecordISD", "DeletePlik", "Delete", "ClearList", "CloseFile",
          "SpeedButton5", "SaveList", "CheckRecords1", "Insert1", "Remove1", "RecordfiletoISD1",
          "PlayFile", "RecTable", "Startadress4", "Stopadress4"})
        QVERIFY2(f.enabled(name), name);
    QVERIFY(!f.enabled("CopyFromMap")); // the map is still empty

    f.prompter.answers = {QStringLiteral("/snd/b.wav"), QStringLiteral("/snd/c.mid")};
    table.addFile();
    table.addFile();
    QCOMPARE(f.fileGrid.RowCount(), 123);
    QCOMPARE(f.fileGrid.cell(FileColumn::File, 3), QStringLiteral("/snd/c.mid"));
    QCOMPARE(f.fileGrid.FirstFreeRow(), 4);
    QCOMPARE(f.fileGrid.cell(FileColumn::Number, 122), QStringLiteral("122"));
}

void TestFileTable::addRemembersSoundFolderAndFileType() {
    TablesFixture f;
    FileTable table(f.context);
    f.folders.SoundFolder = QStringLiteral("/music");
    f.soundFileType = 7; // anything but WAV or MIDI shows all sound files
    f.open.fileName = QStringLiteral("/old/name.wav");
    f.prompter.answers = {QStringLiteral("/midi/song.mid")};
    table.addFile();
    FileDialog shown = f.prompter.shown.constLast();
    QCOMPARE(shown.filter, QStringLiteral("All sound files (*.wav *.mid)|*.wav;*.mid|"
                                          "WAV file (*.wav)|*.wav|MIDI file (*.mid)|*.mid"));
    QCOMPARE(shown.filterIndex, 1);
    QVERIFY(shown.multiple);
    QCOMPARE(shown.initialDir, QStringLiteral("/music"));
    QCOMPARE(shown.fileName, QString());
    QCOMPARE(f.folders.SoundFolder, QStringLiteral("/midi"));
    QCOMPARE(f.soundFileType, 0);
    // The filter the user leaves chosen is the one the next dialog shows.
    f.soundFileType = 2;
    f.prompter.answers = {QStringLiteral("/midi/other.mid")};
    table.addFile();
    shown = f.prompter.shown.constLast();
    QCOMPARE(shown.filterIndex, 3);
    QCOMPARE(f.soundFileType, 2);
}

void TestFileTable::addCancelledStillRenumbersAndUpdatesCommands() {
    TablesFixture f;
    FileTable table(f.context);
    f.commands.setEnabled({Control::RemoveFileButton}, true);
    f.fileGrid.setCell(FileColumn::Number, 7, QStringLiteral("x"));
    table.addFile();
    QCOMPARE(f.fileGrid.RowCount(), 120);
    QCOMPARE(f.fileGrid.cell(FileColumn::Number, 7), QStringLiteral("7"));
    QVERIFY(!f.enabled("DeletePlik"));
    QCOMPARE(f.fileGrid.cell(FileColumn::Start, 1), QString());
}

void TestFileTable::namesAListCannotStoreAreRefused_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("insert");
    for (const bool insert : {false, true}) {
        const char* command = insert ? "Insert" : "Add";
        QTest::addRow("%s, \";\"", command) << QStringLiteral("/snd/a;b.wav") << insert;
        QTest::addRow("%s, CR", command) << QStringLiteral("/snd/a\rb.wav") << insert;
        QTest::addRow("%s, LF", command) << QStringLiteral("/snd/a\nb.wav") << insert;
    }
}

// A list line ends at ";" and at a line break: such a name would come back
// cut short or not at all, so it is not taken in the first place.
void TestFileTable::namesAListCannotStoreAreRefused() {
    QFETCH(QString, name);
    QFETCH(bool, insert);
    TablesFixture f;
    f.fillFiles(fiveEntries());
    f.fileGrid.setRow(2);
    FileTable table(f.context);
    f.prompter.answers = {name};
    if (insert)
        table.insertFile();
    else
        table.addFile();
    QCOMPARE(f.prompter.messages.size(), 1);
    QVERIFY2(f.prompter.messages.first().startsWith(QStringLiteral("Cannot add ") + name),
             qPrintable(f.prompter.messages.first()));
    QVERIFY(f.prompter.messages.first().contains(QStringLiteral("cannot store")));
    QCOMPARE(f.fileGrid.RowCount(), 125);
    for (int k = 1; k <= 5; ++k)
        QCOMPARE(f.fileRow(k), fiveEntries().at(k - 1));
    QCOMPARE(f.fileGrid.cell(FileColumn::Start, 6), QString());
}

void TestFileTable::insertPlacesFileAtSelectionOrAfterEntries_data() {
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("newRow");
    QTest::newRow("inside the entries") << 3 << 3;
    QTest::newRow("first row") << 1 << 1;
    QTest::newRow("last entry") << 5 << 5;
    QTest::newRow("first free row") << 6 << 6;
    QTest::newRow("past the end") << 9 << 6;
}

void TestFileTable::insertPlacesFileAtSelectionOrAfterEntries() {
    QFETCH(int, selected);
    QFETCH(int, newRow);
    TablesFixture f;
    f.fillFiles(fiveEntries());
    FileTable table(f.context);
    f.fileGrid.setRow(selected);
    f.prompter.answers = {QStringLiteral("/s/new.wav")};
    table.insertFile();
    QCOMPARE(f.fileGrid.RowCount(), 126);
    QCOMPARE(f.fileRow(newRow), (QStringList{notUsed, notUsed, QStringLiteral("/s/new.wav")}));
    // The entries keep their order around the new one.
    QStringList order;
    for (int row = 1; row <= 6; ++row)
        order.append(f.fileGrid.cell(FileColumn::File, row));
    QStringList expected = {QStringLiteral("/s/f1.wav"), QStringLiteral("/s/f2.wav"),
                            QStringLiteral("/s/f3.wav"), QStringLiteral("/s/f4.wav"),
                            QStringLiteral("/s/f5.wav")};
    expected.insert(newRow - 1, QStringLiteral("/s/new.wav"));
    QCOMPARE(order, expected);
    for (int row = 1; row < f.fileGrid.RowCount(); ++row)
        QCOMPARE(f.fileGrid.cell(FileColumn::Number, row), QString::number(row));
    QCOMPARE(f.fileGrid.FirstFreeRow(), 7);
    QCOMPARE(f.soundFilesShown, 0); // insert stays on the page it was called from
    QVERIFY(f.enabled("DeletePlik"));
}

void TestFileTable::insertOverwritesStrayTextsOfTheFirstFreeRow() {
    TablesFixture f;
    f.fillFiles({{QStringLiteral("00001"), notUsed, QStringLiteral("a")},
                 {QStringLiteral("00002"), notUsed, QStringLiteral("b")},
                 {QString(), QStringLiteral("00009"), QStringLiteral("stray")},
                 {QStringLiteral("00004"), notUsed, QStringLiteral("d")}});
    FileTable table(f.context);
    f.fileGrid.setRow(1);
    f.prompter.answers = {QStringLiteral("new")};
    table.insertFile();
    QCOMPARE(f.fileGrid.cell(FileColumn::File, 1), QStringLiteral("new"));
    QCOMPARE(f.fileGrid.cell(FileColumn::File, 2), QStringLiteral("a"));
    QCOMPARE(f.fileGrid.cell(FileColumn::File, 3), QStringLiteral("b"));
    // Entries end at the first free row; what stood below it stays put.
    QCOMPARE(f.fileRow(4), (QStringList{QStringLiteral("00004"), notUsed, QStringLiteral("d")}));
    QCOMPARE(f.fileGrid.RowCount(), 125);
}

void TestFileTable::insertCancelledChangesNothing() {
    TablesFixture f;
    f.fillFiles(fiveEntries());
    FileTable table(f.context);
    f.fileGrid.setRow(2);
    table.insertFile();
    QCOMPARE(f.fileGrid.RowCount(), 125);
    QCOMPARE(f.fileGrid.cell(FileColumn::File, 2), QStringLiteral("/s/f2.wav"));
    QCOMPARE(f.prompter.shown.size(), 1);
}

void TestFileTable::removeMovesRowsUpAndShrinksOnlyAbove120_data() {
    QTest::addColumn<int>("rowsBefore");
    QTest::addColumn<int>("rowsAfter");
    QTest::newRow("grown grid shrinks") << 125 << 124;
    QTest::newRow("120 rows stay") << 120 << 120;
}

void TestFileTable::removeMovesRowsUpAndShrinksOnlyAbove120() {
    QFETCH(int, rowsBefore);
    QFETCH(int, rowsAfter);
    TablesFixture f;
    f.fillFiles(fiveEntries());
    f.fileGrid.setRowCount(rowsBefore);
    f.listFileName = QStringLiteral("/lists/a.lsp");
    FileTable table(f.context);
    f.fileGrid.setRow(2);
    table.removeFile();
    QCOMPARE(f.fileGrid.RowCount(), rowsAfter);
    QCOMPARE(f.fileGrid.cell(FileColumn::File, 1), QStringLiteral("/s/f1.wav"));
    QCOMPARE(f.fileGrid.cell(FileColumn::File, 2), QStringLiteral("/s/f3.wav"));
    QCOMPARE(f.fileGrid.cell(FileColumn::File, 4), QStringLiteral("/s/f5.wav"));
    QCOMPARE(f.fileRow(5), (QStringList{QString(), QString(), QString()}));
    for (int row = 1; row < f.fileGrid.RowCount(); ++row)
        QCOMPARE(f.fileGrid.cell(FileColumn::Number, row), QString::number(row));
    QCOMPARE(f.captions, QStringList{QStringLiteral("ISD Programmer")});
    QCOMPARE(f.listFileName, QString());
    QCOMPARE(f.soundFilesShown, 1);
}

void TestFileTable::removeOnFreeRowStillForgetsListFile() {
    TablesFixture f;
    f.fillFiles(fiveEntries());
    f.listFileName = QStringLiteral("/lists/a.lsp");
    FileTable table(f.context);
    f.fileGrid.setRow(8);
    table.removeFile();
    QCOMPARE(f.fileGrid.RowCount(), 125);
    QCOMPARE(f.fileGrid.cell(FileColumn::File, 5), QStringLiteral("/s/f5.wav"));
    QCOMPARE(f.captions, QStringList{QStringLiteral("ISD Programmer")});
    QCOMPARE(f.listFileName, QString());
}

void TestFileTable::removingLastFileDisablesFileCommands() {
    TablesFixture f;
    FileTable table(f.context);
    f.prompter.answers = {QStringLiteral("/a.wav")};
    table.addFile();
    QVERIFY(f.enabled("SaveList"));
    f.fileGrid.setRow(1);
    table.removeFile();
    QCOMPARE(f.fileGrid.RowCount(), 120);
    for (const char* name :
         {"OdtwarzajPlik", "RecordISD", "DeletePlik", "Delete", "ClearList", "CloseFile",
          "SpeedButton5", "SaveList", "CheckRecords1", "Insert1", "Remove1", "RecordfiletoISD1",
          "PlayFile", "RecTable", "Startadress4", "Stopadress4", "CopyFromMap"})
        QVERIFY2(!f.enabled(name), name);
}

void TestFileTable::editStartAddress_data() {
    QTest::addColumn<int>("chipType");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("stop");
    QTest::addColumn<QString>("typed"); // "" cancels the dialog
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("message");
    const QString none;
    const QString refusal = QStringLiteral("Start Address must be lower than Stop Address");
    QTest::newRow("no stop: any address") << 1 << "a.wav" << notUsed << "7"
                                          << "00007" << none;
    QTest::newRow("below stop") << 1 << "a.wav"
                                << "00020"
                                << "19"
                                << "00019" << none;
    QTest::newRow("equal to stop") << 1 << "a.wav"
                                   << "00020"
                                   << "20" << notUsed << refusal;
    QTest::newRow("above stop") << 1 << "a.wav"
                                << "00020"
                                << "300" << notUsed << refusal;
    QTest::newRow("ISD 1730 raises to 16") << 41 << "a.wav" << notUsed << "5"
                                           << "00016" << none;
    QTest::newRow("ISD 1730 leaves 17") << 41 << "a.wav" << notUsed << "17"
                                        << "00017" << none;
    QTest::newRow("no file: silent") << 1 << "" << notUsed << "7" << notUsed << none;
    QTest::newRow("cancelled") << 1 << "a.wav" << notUsed << "" << notUsed << none;
}

void TestFileTable::editStartAddress() {
    QFETCH(int, chipType);
    QFETCH(QString, file);
    QFETCH(QString, stop);
    QFETCH(QString, typed);
    QFETCH(QString, start);
    QFETCH(QString, message);
    TablesFixture f;
    f.chip.ChipType = static_cast<qint8>(chipType);
    f.fillFiles({{notUsed, notUsed, QStringLiteral("first.wav")}, {notUsed, stop, file}});
    f.fileGrid.setRow(2);
    f.address.answers = {typed};
    FileTable table(f.context);
    table.editStartAddress();
    QCOMPARE(f.address.shown, 1);
    QCOMPARE(f.fileGrid.cell(FileColumn::Start, 2), start);
    QCOMPARE(f.fileGrid.cell(FileColumn::Stop, 2), stop);
    QCOMPARE(f.prompter.messages, message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(f.soundFilesShown, 1);
    QCOMPARE(f.fileGrid.cell(FileColumn::Start, 1), notUsed);
}

void TestFileTable::editStopAddress_data() {
    QTest::addColumn<int>("chipType");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stop");
    QTest::addColumn<QString>("message");
    const QString none;
    const QString refusal = QStringLiteral("Stop Address must be greater than Start Address");
    QTest::newRow("no start: any address") << 1 << notUsed << "5"
                                           << "00005" << none;
    QTest::newRow("ISD 1730 not raised") << 41 << notUsed << "5"
                                         << "00005" << none;
    QTest::newRow("above start") << 1 << "00010"
                                 << "11"
                                 << "00011" << none;
    QTest::newRow("equal to start") << 1 << "00010"
                                    << "10" << notUsed << refusal;
    QTest::newRow("below start") << 1 << "00010"
                                 << "3" << notUsed << refusal;
    QTest::newRow("loaded start text 12") << 1 << "12"
                                          << "13"
                                          << "00013" << none;
}

void TestFileTable::editStopAddress() {
    QFETCH(int, chipType);
    QFETCH(QString, start);
    QFETCH(QString, typed);
    QFETCH(QString, stop);
    QFETCH(QString, message);
    TablesFixture f;
    f.chip.ChipType = static_cast<qint8>(chipType);
    f.fillFiles({{start, notUsed, QStringLiteral("a.wav")}});
    f.fileGrid.setRow(1);
    f.address.answers = {typed};
    FileTable table(f.context);
    table.editStopAddress();
    QCOMPARE(f.fileGrid.cell(FileColumn::Stop, 1), stop);
    QCOMPARE(f.fileGrid.cell(FileColumn::Start, 1), start);
    QCOMPARE(f.prompter.messages, message.isEmpty() ? QStringList() : QStringList{message});
}

void TestFileTable::editAddressOfGarbageCellFailsAndKeepsRow() {
    TablesFixture f;
    // A map copy can leave any text, an empty one included, in a cell.
    f.fillFiles({{QStringLiteral("xyz"), QString(), QStringLiteral("a.wav")}});
    f.fileGrid.setRow(1);
    FileTable table(f.context);
    f.address.answers = {QStringLiteral("5")};
    QVERIFY_THROWS_EXCEPTION(AppError, table.editStartAddress());
    f.address.answers = {QStringLiteral("5")};
    QVERIFY_THROWS_EXCEPTION(AppError, table.editStopAddress());
    QCOMPARE(f.fileRow(1),
             (QStringList{QStringLiteral("xyz"), QString(), QStringLiteral("a.wav")}));
}

void TestFileTable::removeAddressWritesNotUsedEvenOnFreeRow() {
    TablesFixture f;
    f.fillFiles({{QStringLiteral("00001"), QStringLiteral("00009"), QStringLiteral("a.wav")}});
    FileTable table(f.context);
    f.fileGrid.setRow(1);
    table.removeStopAddress();
    QCOMPARE(f.fileGrid.cell(FileColumn::Stop, 1), notUsed);
    table.removeStartAddress();
    QCOMPARE(f.fileGrid.cell(FileColumn::Start, 1), notUsed);
    QCOMPARE(f.soundFilesShown, 2);

    f.fileGrid.setRow(2); // the first free row
    table.removeStartAddress();
    QCOMPARE(f.fileRow(2), (QStringList{notUsed, QString(), QString()}));
    // The row now counts as in use, so the next file goes below it.
    f.prompter.answers = {QStringLiteral("b.wav")};
    table.addFile();
    QCOMPARE(f.fileGrid.cell(FileColumn::File, 3), QStringLiteral("b.wav"));
    QCOMPARE(f.fileGrid.cell(FileColumn::File, 2), QString());
}

void TestFileTable::removeAddressOnEmptyTableDoesNothing() {
    TablesFixture f;
    FileTable table(f.context);
    f.fileGrid.setRow(3);
    table.removeStartAddress();
    table.removeStopAddress();
    QCOMPARE(f.fileRow(3), (QStringList{QString(), QString(), QString()}));
}

void TestFileTable::selectingRowShowsItsStartAddress() {
    TablesFixture f;
    f.fillFiles({{notUsed, notUsed, QStringLiteral("a.wav")},
                 {QStringLiteral("120"), QStringLiteral("bad"), QStringLiteral("b.wav")}});
    f.panel.setText(PanelTexts::AddressHex, QStringLiteral("ABCD"));
    FileTable table(f.context);
    f.fileGrid.setRow(1);
    table.fileRowClicked(); // "not used": nothing to show
    QCOMPARE(f.panel.address(), QString());
    f.fileGrid.setRow(2);
    table.fileRowClicked();
    QCOMPARE(f.panel.address(), QStringLiteral("00120"));
    QCOMPARE(f.panel.timeToEnd(), f.chip.TimeToEndText(120));
    QCOMPARE(f.panel.timeToEnd(), QStringLiteral("  42.00 sek."));
    // The hexadecimal display shows the same address.
    QCOMPARE(f.panel.addressHex(), QStringLiteral("0078"));
    QCOMPARE(f.fileGrid.cell(FileColumn::Start, 2), QStringLiteral("120"));
    QCOMPARE(f.fileGrid.cell(FileColumn::Stop, 2), notUsed); // silently
    QVERIFY(f.prompter.messages.isEmpty());
}

void TestFileTable::selectingRowWithBadStartCellResetsIt() {
    TablesFixture f;
    f.fillFiles({{QStringLiteral("abc"), QStringLiteral("00050"), QStringLiteral("a.wav")}});
    f.panel.setText(PanelTexts::Address, QStringLiteral("00001"));
    FileTable table(f.context);
    f.fileGrid.setRow(1);
    table.fileRowClicked();
    QCOMPARE(f.prompter.messages, QStringList{QStringLiteral("Bad Cell format !")});
    QCOMPARE(f.fileRow(1),
             (QStringList{notUsed, QStringLiteral("00050"), QStringLiteral("a.wav")}));
    QCOMPARE(f.panel.address(), QStringLiteral("00001"));
}

void TestFileTable::severalChosenGoInOrderWithoutTheRefused_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("firstRow");
    QTest::newRow("Add") << QStringLiteral("Add") << 6;
    QTest::newRow("Insert") << QStringLiteral("Insert") << 2;
    QTest::newRow("drop") << QStringLiteral("drop") << 6;
}

// Files chosen or dropped together go in one after the other, in their
// order; a name a list cannot store is left out with its message, the others
// go in.
void TestFileTable::severalChosenGoInOrderWithoutTheRefused() {
    QFETCH(QString, command);
    QFETCH(int, firstRow);
    TablesFixture f;
    f.fillFiles(fiveEntries());
    f.fileGrid.setRow(2);
    FileTable table(f.context);
    const QString refused = QStringLiteral("/snd/a;b.wav");
    const QStringList names = {QStringLiteral("/snd/x.wav"), refused, QStringLiteral("/snd/y.wav")};
    f.prompter.answers = {names.join(QChar(0))};
    if (command == QLatin1String("Insert"))
        table.insertFile();
    else if (command == QLatin1String("Add"))
        table.addFile();
    else
        table.addDroppedFiles(names);
    QCOMPARE(f.prompter.messages.size(), 1);
    QVERIFY(f.prompter.messages.first().startsWith(QStringLiteral("Cannot add ") + refused));
    QCOMPARE(f.fileGrid.cell(FileColumn::File, firstRow), QStringLiteral("/snd/x.wav"));
    QCOMPARE(f.fileGrid.cell(FileColumn::File, firstRow + 1), QStringLiteral("/snd/y.wav"));
    QCOMPARE(f.fileGrid.FirstFreeRow(), 8);
    // Inserted rows push the entries from the selected row down, in order.
    for (int k = 1, row = 1; k <= 5; ++k, ++row) {
        if (row == firstRow)
            row += 2;
        QCOMPARE(f.fileRow(row), fiveEntries().at(k - 1));
    }
}

void TestFileTable::selectingRowOnlyRunsWhenSelectionMoves() {
    TablesFixture f;
    f.fillFiles({{QStringLiteral("00010"), notUsed, QStringLiteral("a.wav")},
                 {QStringLiteral("00020"), notUsed, QStringLiteral("b.wav")}});
    FileTable table(f.context);
    f.fileGrid.setRow(1);
    table.SelectFileRow(2);
    QCOMPARE(f.fileGrid.Row(), 2);
    QCOMPARE(f.panel.address(), QStringLiteral("00020"));
    f.panel.setText(PanelTexts::Address, QStringLiteral("00000"));
    table.SelectFileRow(2);
    QCOMPARE(f.panel.address(), QStringLiteral("00000"));
    // A click runs it on the same row all the same.
    table.fileRowClicked();
    QCOMPARE(f.panel.address(), QStringLiteral("00020"));
}

void TestFileTable::closeListEmptiesTableAndLeavesContextMenu() {
    TablesFixture f;
    FileTable table(f.context);
    f.prompter.answers = {QStringLiteral("/a.wav"), QStringLiteral("/b.wav")};
    table.addFile();
    table.addFile();
    f.fillMap({{QStringLiteral("00000"), QStringLiteral("0000")}});
    f.availability.UpdateMapCommands();
    QVERIFY(f.enabled("CopyFromMap"));
    f.listFileName = QStringLiteral("/l.lsp");
    f.fileGrid.setRowCount(300);
    table.closeFileList();
    QCOMPARE(f.fileGrid.RowCount(), 120);
    for (int row = 1; row < 120; ++row)
        QCOMPARE(f.fileRow(row), (QStringList{QString(), QString(), QString()}));
    QCOMPARE(f.fileGrid.cell(FileColumn::Number, 119), QStringLiteral("119"));
    for (const char* name : {"OdtwarzajPlik", "RecordISD", "DeletePlik", "ClearList", "CloseFile",
                             "SpeedButton5", "SaveList", "CheckRecords1", "Insert1", "Remove1",
                             "RecordfiletoISD1", "PlayFile", "RecTable", "CopyFromMap"})
        QVERIFY2(!f.enabled(name), name);
    for (const char* name : {"Delete", "Startadress4", "Stopadress4", "SaveMap", "SpeedButton6"})
        QVERIFY2(f.enabled(name), name);
    QCOMPARE(f.captions.constLast(), QStringLiteral("ISD Programmer"));
    QCOMPARE(f.listFileName, QString());
}

QTEST_MAIN(TestFileTable)
#include "tst_filetable.moc"
