#include "copyfrommap.h"

#include "core/stringgrid.h"

namespace {

constexpr int FileStartCol = 1;
constexpr int FileStopCol = 2;
constexpr int MapStartCol = 1;
constexpr int MapEomCol = 3;

} // namespace

CopyFromMap::CopyFromMap(StringGrid& files_, const StringGrid& map_,
                         std::function<void()> scrollFilesToTop_)
    : fileGrid(files_), mapGrid(map_), scrollFilesToTop(std::move(scrollFilesToTop_)) {}

void CopyFromMap::copySelected(int mapCol, int fileCol) {
    if (mapGrid.cell(MapStartCol, 1).isEmpty() || fileGrid.cell(FileStopCol, 1).isEmpty())
        return;
    fileGrid.setCell(fileCol, fileGrid.Row(), mapGrid.cell(mapCol, mapGrid.Row()));
}

void CopyFromMap::copyStartFromMap() {
    copySelected(MapStartCol, FileStartCol);
}

void CopyFromMap::copyStopFromMap() {
    copySelected(MapEomCol, FileStopCol);
}

void CopyFromMap::copyTableFromMap() {
    for (int r = 1; r < fileGrid.RowCount() && !fileGrid.cell(FileStartCol, r).isEmpty() &&
                    !mapGrid.cell(MapEomCol, r).isEmpty();
         ++r) {
        fileGrid.setCell(FileStartCol, r, mapGrid.cell(MapStartCol, r));
        fileGrid.setCell(FileStopCol, r, mapGrid.cell(MapEomCol, r));
    }
    if (scrollFilesToTop)
        scrollFilesToTop();
}
