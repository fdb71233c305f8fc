#include "copyfrommap.h"

#include "core/stringgrid.h"
#include "core/tablelayout.h"

CopyFromMap::CopyFromMap(StringGrid& files_, const StringGrid& map_,
                         std::function<void()> scrollFilesToTop_)
    : fileGrid(files_), mapGrid(map_), scrollFilesToTop(std::move(scrollFilesToTop_)) {}

void CopyFromMap::copySelected(int mapCol, int fileCol) {
    if (mapGrid.cell(MapColumn::Start, 1).isEmpty() || fileGrid.cell(FileColumn::Stop, 1).isEmpty())
        return;
    fileGrid.setCell(fileCol, fileGrid.Row(), mapGrid.cell(mapCol, mapGrid.Row()));
}

void CopyFromMap::copyStartFromMap() {
    copySelected(MapColumn::Start, FileColumn::Start);
}

void CopyFromMap::copyStopFromMap() {
    copySelected(MapColumn::Eom, FileColumn::Stop);
}

void CopyFromMap::copyTableFromMap() {
    for (int r = 1; r < fileGrid.RowCount() && !fileGrid.cell(FileColumn::Start, r).isEmpty() &&
                    !mapGrid.cell(MapColumn::Eom, r).isEmpty();
         ++r) {
        fileGrid.setCell(FileColumn::Start, r, mapGrid.cell(MapColumn::Start, r));
        fileGrid.setCell(FileColumn::Stop, r, mapGrid.cell(MapColumn::Eom, r));
    }
    if (scrollFilesToTop)
        scrollFilesToTop();
}
