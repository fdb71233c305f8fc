#include "filelist.h"

#include "addresstext.h"
#include "filelistformat.h"
#include "listfilereader.h"

#include "core/availability.h"
#include "core/filedialog.h"
#include "core/filesaver.h"
#include "core/folders.h"
#include "core/prompter.h"
#include "core/stringgrid.h"
#include "core/tablelayout.h"

#include <QFile>
#include <QFileInfo>

namespace {

const QString listFilter() {
    return QStringLiteral("File list (*.lsp)|*.lsp");
}

} // namespace

FileList::FileList(TablesContext& context) : ctx(context) {}

void FileList::openTable() {
    TablesContext::call(ctx.showSoundFiles);
    FileDialog& open = ctx.open;
    open.kind = FileDialog::Kind::Open;
    open.initialDir = ctx.folders.ListFolder;
    open.fileName.clear();
    open.filter = listFilter();
    ListLoad loaded = ListLoad::NotOpened;
    if (ctx.prompter.execute(open)) {
        ctx.folders.RememberFolder(2, ctx.open, ctx.save);
        loaded = load(open.fileName);
    }
    finishOpening();
    if (loaded == ListLoad::Complete)
        ctx.kept(TablesContext::Table::Files, open.fileName);
}

void FileList::openTableFile(const QString& name) {
    TablesContext::call(ctx.showSoundFiles);
    // As if chosen in the open dialog: its folder becomes the list folder.
    const QString folder = RememberedFolders::folderOf(name, false);
    if (!folder.isEmpty())
        ctx.folders.ListFolder = folder;
    const ListLoad loaded = load(name);
    finishOpening();
    if (loaded == ListLoad::Complete)
        ctx.kept(TablesContext::Table::Files, name);
}

FileList::ListLoad FileList::load(const QString& name) {
    const ListLoad loaded = readFileList(name);
    switch (loaded) {
    case ListLoad::Complete:
        ctx.listFileName = name;
        ctx.caption(QStringLiteral("VOKAR SD Programmer, ") + name);
        break;
    case ListLoad::BadFormat:
        // The table holds only part of the file: a Save must not write
        // it over the file without asking.
        ctx.prompter.showMessage(QStringLiteral("Bad file format"));
        ctx.listFileName.clear();
        ctx.caption(QStringLiteral("ISD Programmer"));
        break;
    case ListLoad::NotOpened:
        // Told already; the table and the list it belongs to stay.
        break;
    }
    return loaded;
}

void FileList::finishOpening() {
    CheckAddressCells();
    ctx.availability.UpdateMenu();
    TablesContext::call(ctx.scrollFilesToTop);
}

FileList::ListLoad FileList::readFileList(const QString& name) {
    QFile file(name);
    const QString cannotOpen = ListFileReader::open(file);
    if (!cannotOpen.isEmpty()) {
        ctx.prompter.showMessage(cannotOpen);
        return ListLoad::NotOpened;
    }
    StringGrid& fileGrid = ctx.fileGrid;
    StringGrid::BulkUpdate bulk(fileGrid);
    fileGrid.setRowCount(TableLayout::StartRows);
    for (int row = 1; row < TableLayout::StartRows; ++row) {
        fileGrid.setCell(FileColumn::Number, row, QString::number(row));
        for (int col = FileColumn::Start; col <= FileColumn::File; ++col)
            fileGrid.setCell(col, row, QString());
    }
    ListFileReader reader(file);
    QByteArray line;
    int k = 1;
    for (;;) {
        const ListFileReader::Status status = reader.next(line);
        if (status == ListFileReader::Status::End)
            break;
        const std::optional<FileListFormat::Entry> entry =
            status == ListFileReader::Status::Line ? FileListFormat::parseLine(line) : std::nullopt;
        // The entries read so far stay, unnumbered, for the user to see how
        // far the file was good.
        if (!entry)
            return ListLoad::BadFormat;
        fileGrid.setCell(FileColumn::Start, k, entry->start);
        fileGrid.setCell(FileColumn::Stop, k, entry->stop);
        fileGrid.setCell(FileColumn::File, k, entry->file);
        ++k;
        fileGrid.setRowCount(fileGrid.RowCount() + 1);
    }
    fileGrid.NumberRows();
    return ListLoad::Complete;
}

void FileList::CheckAddressCells() {
    StringGrid& fileGrid = ctx.fileGrid;
    StringGrid::BulkUpdate bulk(fileGrid);
    for (int col : {FileColumn::Start, FileColumn::Stop}) {
        for (int row = 1; row < fileGrid.RowCount(); ++row) {
            const QString text = fileGrid.cell(col, row);
            if (text.isEmpty() || text == AddressText::notUsed())
                continue;
            if (!AddressText::toInteger(text))
                fileGrid.setCell(col, row, AddressText::notUsed());
        }
    }
}

void FileList::prepareSaveDialog() {
    FileDialog& save = ctx.save;
    save.kind = FileDialog::Kind::Save;
    save.defaultExt = QStringLiteral("lsp");
    save.filter = listFilter();
    save.initialDir = ctx.folders.ListFolder;
}

bool FileList::askForSaveName(QString& name) {
    FileDialog& save = ctx.save;
    if (!ctx.prompter.execute(save))
        return false;
    // As the dialog itself does: a name typed without any dot gets the
    // extension, a folder does not.
    const QFileInfo chosen(save.fileName);
    if (!save.defaultExt.isEmpty() && !chosen.isDir() && !chosen.fileName().contains(u'.'))
        save.fileName += u'.' + save.defaultExt;
    name = save.fileName;
    return true;
}

void FileList::saveList() {
    prepareSaveDialog();
    const StringGrid& fileGrid = ctx.fileGrid;
    if (fileGrid.cell(FileColumn::Start, 1).isEmpty())
        return;
    if (!ctx.listFileName.isEmpty()) {
        if (!fileGrid.cell(FileColumn::Stop, 1).isEmpty()) {
            ctx.folders.RememberFolder(4, ctx.open, ctx.save);
            if (WriteFileList(ctx.listFileName))
                ctx.kept(TablesContext::Table::Files, ctx.listFileName);
        }
        return;
    }
    QString name;
    if (!askForSaveName(name) || fileGrid.cell(FileColumn::Stop, 1).isEmpty())
        return;
    // Only a list that is really on disk becomes the table's list file.
    if (!WriteFileList(name))
        return;
    ctx.listFileName = name;
    ctx.caption(QStringLiteral("VOKAR ISD Programmer, ") + name);
    ctx.kept(TablesContext::Table::Files, name);
}

void FileList::saveListAs() {
    prepareSaveDialog();
    const StringGrid& fileGrid = ctx.fileGrid;
    if (fileGrid.cell(FileColumn::Start, 1).isEmpty())
        return;
    QString name;
    if (!askForSaveName(name) || fileGrid.cell(FileColumn::Stop, 1).isEmpty())
        return;
    if (!WriteFileList(name))
        return;
    // From now on the table belongs to the list just written: a later Save
    // goes there, and the list dialogs start in its folder.
    ctx.listFileName = name;
    ctx.folders.RememberFolder(4, ctx.open, ctx.save);
    ctx.caption(QStringLiteral("ISD Programmer, ") + name);
    ctx.kept(TablesContext::Table::Files, name);
}

bool FileList::WriteFileList(const QString& name) {
    const StringGrid& fileGrid = ctx.fileGrid;
    QByteArray contents;
    for (int r = 1; r < fileGrid.RowCount() && !fileGrid.cell(FileColumn::Stop, r).isEmpty(); ++r) {
        contents += FileListFormat::formatLine({fileGrid.cell(FileColumn::Start, r),
                                                fileGrid.cell(FileColumn::Stop, r),
                                                fileGrid.cell(FileColumn::File, r)});
    }
    const QString error = FileSaver::write(name, contents);
    if (error.isEmpty())
        return true;
    ctx.prompter.showMessage(error);
    return false;
}
