#include "filetable.h"

#include "addresstext.h"
#include "chips/chipcatalogue.h"
#include "chips/chipcontrol.h"
#include "core/addressinput.h"
#include "core/apperror.h"
#include "core/availability.h"
#include "core/filedialog.h"
#include "core/folders.h"
#include "core/prompter.h"
#include "core/stringgrid.h"
#include "core/tablelayout.h"
#include "filelistformat.h"

#include <QDir>

FileTable::FileTable(TablesContext& context)
    : ctx(context), rowSelect(context.fileGrid, context.panel, context.chip, context.prompter) {}

void FileTable::NumberFileRows() {
    ctx.fileGrid.NumberRows();
}

QString FileTable::soundFilter() {
    return QStringLiteral("All sound files (*.wav *.mid)|*.wav;*.mid|"
                          "WAV file (*.wav)|*.wav|MIDI file (*.mid)|*.mid");
}

bool FileTable::askForSoundFiles() {
    FileDialog& open = ctx.open;
    open.kind = FileDialog::Kind::Open;
    open.filter = soundFilter();
    // 1 WAV, 2 MIDI, anything else all sound files; the dialog lists all
    // sound files first.
    if (ctx.soundFileType != 1 && ctx.soundFileType != 2)
        ctx.soundFileType = 0;
    open.filterIndex = ctx.soundFileType + 1;
    open.initialDir = ctx.folders.SoundFolder;
    open.fileName.clear();
    open.fileNames.clear();
    open.multiple = true;
    const bool chosen = ctx.prompter.execute(open);
    open.multiple = false;
    if (!chosen)
        return false;
    if (open.fileNames.isEmpty())
        open.fileNames = QStringList{open.fileName};
    ctx.folders.RememberFolder(1, ctx.open, ctx.save);
    ctx.soundFileType = open.filterIndex - 1;
    open.fileNames = storableOnly(open.fileNames);
    if (open.fileNames.isEmpty())
        return false;
    open.fileName = open.fileNames.constFirst();
    return true;
}

QStringList FileTable::storableOnly(const QStringList& names) {
    QStringList kept;
    QStringList refused;
    for (const QString& name : names)
        (FileListFormat::storable(name) ? kept : refused).append(name);
    for (const QString& name : refused) {
        ctx.prompter.showMessage(
            QStringLiteral("Cannot add %1: its name holds a \";\" or a line break, which a file "
                           "list cannot store. Rename the file and add it again.")
                .arg(QDir::toNativeSeparators(name)));
    }
    return kept;
}

void FileTable::putNewFile(int row, const QString& name) {
    ctx.fileGrid.setCell(FileColumn::File, row, name);
    ctx.fileGrid.setCell(FileColumn::Start, row, AddressText::notUsed());
    ctx.fileGrid.setCell(FileColumn::Stop, row, AddressText::notUsed());
}

void FileTable::appendFile(const QString& name) {
    StringGrid& fileGrid = ctx.fileGrid;
    fileGrid.setRowCount(fileGrid.RowCount() + 1);
    putNewFile(fileGrid.FirstFreeRow(), name);
}

void FileTable::addFile() {
    TablesContext::call(ctx.showSoundFiles);
    if (askForSoundFiles()) {
        for (const QString& name : ctx.open.fileNames)
            appendFile(name);
    }
    NumberFileRows();
    ctx.availability.UpdateMenu();
}

void FileTable::addDroppedFiles(const QStringList& names) {
    TablesContext::call(ctx.showSoundFiles);
    for (const QString& name : storableOnly(names))
        appendFile(name);
    NumberFileRows();
    ctx.availability.UpdateMenu();
}

void FileTable::insertFile() {
    const int s = ctx.fileGrid.Row();
    if (!askForSoundFiles())
        return;
    // Several files go in one after the other, in the order chosen.
    int at = s;
    for (const QString& name : ctx.open.fileNames)
        at = insertOne(at, name) + 1;
    ctx.availability.UpdateMenu();
}

int FileTable::insertOne(int s, const QString& name) {
    StringGrid& fileGrid = ctx.fileGrid;
    fileGrid.setRowCount(fileGrid.RowCount() + 1);
    NumberFileRows();
    const int n = fileGrid.FirstFreeRow() - 1; // entries in use from row 1 on
    int r = 0;
    if (n < s) {
        r = n + 1;
    } else {
        // Entries s to n move down one row onto row n + 1, which is free (it
        // may still hold a stop or file text, which the move overwrites).
        // Dropping row n + 1 and opening a row at s does that in two steps
        // however long the table is.
        fileGrid.removeRow(n + 1);
        fileGrid.insertRow(s);
        NumberFileRows();
        r = s;
    }
    putNewFile(r, name);
    return r;
}

void FileTable::removeFile() {
    TablesContext::call(ctx.showSoundFiles);
    StringGrid& fileGrid = ctx.fileGrid;
    const int s = fileGrid.Row();
    if (s >= 1 && !fileGrid.cell(FileColumn::File, s).isEmpty()) {
        // The rows below s move up by one and an empty row closes the grid.
        fileGrid.removeRow(s);
        fileGrid.setRowCount(fileGrid.RowCount() + 1);
        if (fileGrid.RowCount() > TableLayout::StartRows)
            fileGrid.setRowCount(fileGrid.RowCount() - 1);
        NumberFileRows();
    }
    ctx.availability.UpdateMenu();
    forgetListFile();
}

void FileTable::forgetListFile() {
    // The table no longer is the file list it was loaded from.
    ctx.caption(QStringLiteral("ISD Programmer"));
    ctx.listFileName.clear();
}

bool FileTable::askForAddress(int& value) {
    if (!ctx.address.Execute())
        return false;
    const QString text = ctx.address.addressText();
    const std::optional<int> typed = AddressInput::toAddress(text);
    if (!typed)
        throw AppError(QStringLiteral("\"%1\" is not a whole number").arg(text));
    value = *typed;
    return true;
}

void FileTable::editStartAddress() {
    TablesContext::call(ctx.showSoundFiles);
    int v = 0;
    if (!askForAddress(v))
        return;
    StringGrid& fileGrid = ctx.fileGrid;
    const int s = fileGrid.Row();
    // ISD 1700 chips keep their first rows free of messages.
    if (ChipCatalogue::isIsd1700(ctx.chip.ChipType) && v < ChipCatalogue::Isd1700FirstRow)
        v = ChipCatalogue::Isd1700FirstRow;
    if (fileGrid.cell(FileColumn::File, s).isEmpty())
        return;
    const QString stop = fileGrid.cell(FileColumn::Stop, s);
    if (stop == AddressText::notUsed() || v < AddressText::toIntegerOrFail(stop))
        fileGrid.setCell(FileColumn::Start, s, AddressText::dec(v));
    else
        ctx.prompter.showMessage(QStringLiteral("Start Address must be lower than Stop Address"));
}

void FileTable::editStopAddress() {
    TablesContext::call(ctx.showSoundFiles);
    int v = 0;
    if (!askForAddress(v))
        return;
    StringGrid& fileGrid = ctx.fileGrid;
    const int s = fileGrid.Row();
    if (fileGrid.cell(FileColumn::File, s).isEmpty())
        return;
    const QString start = fileGrid.cell(FileColumn::Start, s);
    if (start == AddressText::notUsed() || AddressText::toIntegerOrFail(start) < v)
        fileGrid.setCell(FileColumn::Stop, s, AddressText::dec(v));
    else
        ctx.prompter.showMessage(QStringLiteral("Stop Address must be greater than Start Address"));
}

void FileTable::removeStartAddress() {
    TablesContext::call(ctx.showSoundFiles);
    if (ctx.fileGrid.cell(FileColumn::Start, 1).isEmpty())
        return;
    ctx.fileGrid.setCell(FileColumn::Start, ctx.fileGrid.Row(), AddressText::notUsed());
}

void FileTable::removeStopAddress() {
    TablesContext::call(ctx.showSoundFiles);
    if (ctx.fileGrid.cell(FileColumn::Start, 1).isEmpty())
        return;
    ctx.fileGrid.setCell(FileColumn::Stop, ctx.fileGrid.Row(), AddressText::notUsed());
}

void FileTable::closeFileList() {
    StringGrid& fileGrid = ctx.fileGrid;
    {
        StringGrid::BulkUpdate bulk(fileGrid);
        fileGrid.setRowCount(TableLayout::StartRows);
        for (int row = 1; row < fileGrid.RowCount(); ++row) {
            for (int col = FileColumn::Start; col <= FileColumn::File; ++col)
                fileGrid.setCell(col, row, QString());
        }
    }
    ctx.availability.fileListClosed();
    forgetListFile();
}
