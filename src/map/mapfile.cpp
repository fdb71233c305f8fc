#include "mapfile.h"

#include "mapfileformat.h"
#include "memorymap.h"

#include "core/availability.h"
#include "core/filedialog.h"
#include "core/filesaver.h"
#include "core/folders.h"
#include "core/prompter.h"
#include "core/stringgrid.h"
#include "core/tablelayout.h"
#include "files/listfilereader.h"

#include <QFile>
#include <QFileInfo>

namespace {

QString mapFilter() {
    return QStringLiteral("Record list (*.mpp)|*.mpp");
}

} // namespace

MapFile::MapFile(TablesContext& context) : ctx(context) {}

void MapFile::saveMemoryMap() {
    FileDialog& save = ctx.save;
    save.kind = FileDialog::Kind::Save;
    save.fileName.clear();
    save.defaultExt = QStringLiteral("mpp");
    save.filter = mapFilter();
    save.initialDir = ctx.folders.MapFolder;
    if (ctx.mapGrid.cell(MapColumn::Start, 1).isEmpty())
        return;
    if (!ctx.prompter.execute(save))
        return;
    const QFileInfo chosen(save.fileName);
    if (!chosen.isDir() && !chosen.fileName().contains(u'.'))
        save.fileName += u'.' + save.defaultExt;
    if (ctx.mapGrid.cell(MapColumn::StartHex, 1).isEmpty())
        return;
    ctx.folders.RememberFolder(5, ctx.open, ctx.save);
    if (writeMapFile(save.fileName))
        ctx.kept(TablesContext::Table::Map, save.fileName);
}

bool MapFile::writeMapFile(const QString& name) {
    const StringGrid& mapGrid = ctx.mapGrid;
    QByteArray contents;
    for (int r = 1; r < mapGrid.RowCount() && !mapGrid.cell(MapColumn::Start, r).isEmpty(); ++r) {
        MapFileFormat::Record record;
        for (int col = MapColumn::Start; col <= MapColumn::OvfHex; ++col)
            record[static_cast<size_t>(col - 1)] = mapGrid.cell(col, r);
        contents += MapFileFormat::formatLine(record);
    }
    const QString error = FileSaver::write(name, contents);
    if (error.isEmpty())
        return true;
    ctx.prompter.showMessage(error);
    return false;
}

void MapFile::openMemoryMap() {
    FileDialog& open = ctx.open;
    open.kind = FileDialog::Kind::Open;
    open.initialDir = ctx.folders.MapFolder;
    open.fileName.clear();
    open.filter = mapFilter();
    if (ctx.prompter.execute(open)) {
        ctx.folders.RememberFolder(3, ctx.open, ctx.save);
        load(open.fileName);
    }
    ctx.availability.mapLoaded();
}

void MapFile::openMapFile(const QString& name) {
    // As if chosen in the open dialog: its folder becomes the map folder.
    const QString folder = RememberedFolders::folderOf(name, false);
    if (!folder.isEmpty())
        ctx.folders.MapFolder = folder;
    load(name);
    ctx.availability.mapLoaded();
}

void MapFile::load(const QString& name) {
    const MapLoad loaded = readMapFile(name);
    if (loaded == MapLoad::TooLong)
        ctx.prompter.showMessage(QStringLiteral("Bad file format"));
    if (loaded == MapLoad::Complete)
        ctx.kept(TablesContext::Table::Map, name);
}

MapFile::MapLoad MapFile::readMapFile(const QString& name) {
    QFile file(name);
    const QString cannotOpen = ListFileReader::open(file);
    if (!cannotOpen.isEmpty()) {
        ctx.prompter.showMessage(cannotOpen);
        return MapLoad::NotOpened;
    }
    StringGrid& mapGrid = ctx.mapGrid;
    MapLoad result = MapLoad::Complete;
    {
        StringGrid::BulkUpdate bulk(mapGrid);
        mapGrid.setRowCount(TableLayout::StartRows);
        for (int row = 1; row < TableLayout::StartRows; ++row) {
            mapGrid.setCell(MapColumn::Number, row, QString::number(row));
            for (int col = MapColumn::Start; col <= MapColumn::OvfHex; ++col)
                mapGrid.setCell(col, row, QString());
        }
        ListFileReader reader(file);
        QByteArray line;
        int k = 1;
        for (;;) {
            const ListFileReader::Status status = reader.next(line);
            if (status != ListFileReader::Status::Line) {
                if (status == ListFileReader::Status::TooLong)
                    result = MapLoad::TooLong;
                break;
            }
            const MapFileFormat::Record record = MapFileFormat::parseLine(line);
            for (int col = MapColumn::Start; col <= MapColumn::OvfHex; ++col)
                mapGrid.setCell(col, k, record[static_cast<size_t>(col - 1)]);
            ++k;
            mapGrid.setRowCount(mapGrid.RowCount() + 1);
        }
        mapGrid.NumberRows();
    }
    TablesContext::call(ctx.scrollMapToTop);
    return result;
}
