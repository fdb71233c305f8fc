#include "memorymap.h"

#include "chips/chipcontrol.h"
#include "core/paneltexts.h"
#include "core/stringgrid.h"
#include "files/addresstext.h"

namespace {

constexpr int StartCol = 1;
constexpr int LastCol = 6;
constexpr int BaseRows = 120;

} // namespace

MemoryMap::MemoryMap(StringGrid& map_, PanelTexts& panel_, const ChipControl& chip_)
    : mapGrid(map_), panel(panel_), chip(chip_) {}

void MemoryMap::mapRowClicked() {
    if (mapGrid.cell(StartCol, 1).isEmpty())
        return;
    const QString start = mapGrid.cell(StartCol, mapGrid.Row());
    if (start.isEmpty())
        return;
    const int v = AddressText::toIntegerOrFail(start);
    panel.setText(PanelTexts::Address, AddressText::dec(v));
    panel.setText(PanelTexts::AddressHex, AddressText::hex(v));
    panel.setText(PanelTexts::TimeToEnd, chip.TimeToEndText(static_cast<quint16>(v)));
}

void MemoryMap::SelectMapRow(int row) {
    if (row == mapGrid.Row())
        return;
    mapGrid.setRow(row);
    mapRowClicked();
}

void MemoryMap::SelectMapRowAt(int address, bool next) {
    for (int r = 1; r < mapGrid.RowCount(); ++r) {
        const QString start = mapGrid.cell(StartCol, r);
        if (start.isEmpty())
            return;
        const std::optional<int> value = AddressText::toInteger(start);
        if (value && (*value == address || (next && *value == address + 1))) {
            SelectMapRow(r);
            return;
        }
    }
}

void MemoryMap::ClearMemoryMap() {
    StringGrid::BulkUpdate bulk(mapGrid);
    mapGrid.setRowCount(BaseRows);
    for (int row = 1; row < BaseRows; ++row) {
        for (int col = StartCol; col <= LastCol; ++col)
            mapGrid.setCell(col, row, QString());
    }
}

void MemoryMap::AddMapRecord(quint16 start, quint16 eom) {
    mapGrid.setRowCount(mapGrid.RowCount() + 1);
    const int r = mapGrid.FirstFreeRow();
    mapGrid.setCell(1, r, AddressText::dec(start));
    mapGrid.setCell(2, r, AddressText::hex(start));
    mapGrid.setCell(3, r, AddressText::dec(eom));
    mapGrid.setCell(4, r, AddressText::hex(eom));
    NumberMapRows();
}

void MemoryMap::AddMapOverflow(quint16 ovf) {
    mapGrid.setRowCount(mapGrid.RowCount() + 1);
    const int r = mapGrid.FirstFreeRow();
    mapGrid.setCell(5, r, AddressText::dec(ovf));
    mapGrid.setCell(6, r, AddressText::hex(ovf));
    NumberMapRows();
}

void MemoryMap::NumberMapRows() {
    mapGrid.NumberRows();
}
