#include "mapactions.h"

#include "core/stringgrid.h"

namespace MapActions {

namespace {

QString dec(quint16 value) { return QString::asprintf("%05hu", value); }
QString hex(quint16 value) { return QString::asprintf("%04hX", value); }

// Every added record makes room for itself first, so the grid always keeps
// a free row below the last record.
int growAndFindFree(StringGrid& map) {
    map.setRowCount(map.RowCount() + 1);
    return FirstFreeRow(map);
}

} // namespace

int FirstFreeRow(const StringGrid& map) {
    int row = 1;
    while (row < map.RowCount() && !map.cell(1, row).isEmpty())
        ++row;
    return row;
}

void ClearMemoryMap(StringGrid& map) {
    map.setRowCount(StartRows);
    for (int row = 1; row < StartRows; ++row) {
        for (int col = 1; col <= 6; ++col)
            map.setCell(col, row, QString());
    }
}

void AddMapRecord(StringGrid& map, quint16 start, quint16 eom) {
    const int row = growAndFindFree(map);
    map.setCell(1, row, dec(start));
    map.setCell(2, row, hex(start));
    map.setCell(3, row, dec(eom));
    map.setCell(4, row, hex(eom));
    NumberMapRows(map);
}

void AddMapOverflow(StringGrid& map, quint16 ovf) {
    const int row = growAndFindFree(map);
    map.setCell(5, row, dec(ovf));
    map.setCell(6, row, hex(ovf));
    NumberMapRows(map);
}

void NumberMapRows(StringGrid& map) {
    for (int row = 1; row < map.RowCount(); ++row)
        map.setCell(0, row, QString::number(row));
}

bool SelectMapRowAt(StringGrid& map, int address, bool next) {
    for (int row = 1; row < map.RowCount() && !map.cell(1, row).isEmpty(); ++row) {
        bool ok = false;
        const int start = map.cell(1, row).toInt(&ok);
        if (ok && (start == address || (next && start == address + 1))) {
            map.setRow(row);
            return true;
        }
    }
    return false;
}

} // namespace MapActions
