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
    : files(files_), map(map_), scrollFilesToTop(std::move(scrollFilesToTop_)) {}

void CopyFromMap::copySelected(int mapCol, int fileCol) {
    if (map.cell(MapStartCol, 1).isEmpty() || files.cell(FileStopCol, 1).isEmpty())
        return;
    files.setCell(fileCol, files.Row(), map.cell(mapCol, map.Row()));
}

void CopyFromMap::StartAdress3Click() {
    copySelected(MapStartCol, FileStartCol);
}

void CopyFromMap::StopAdress3Click() {
    copySelected(MapEomCol, FileStopCol);
}

void CopyFromMap::Table1Click() {
    for (int r = 1; r < files.RowCount() && !files.cell(FileStartCol, r).isEmpty() &&
                    !map.cell(MapEomCol, r).isEmpty();
         ++r) {
        files.setCell(FileStartCol, r, map.cell(MapStartCol, r));
        files.setCell(FileStopCol, r, map.cell(MapEomCol, r));
    }
    if (scrollFilesToTop)
        scrollFilesToTop();
}
