#include "memorymap.h"

#include "chips/chipcontrol.h"
#include "core/paneltexts.h"
#include "core/stringgrid.h"
#include "core/tablelayout.h"
#include "files/addresstext.h"

MemoryMap::MemoryMap(StringGrid& map_, PanelTexts& panel_, const ChipControl& chip_)
    : mapGrid(map_), panel(panel_), chip(chip_) {}

void MemoryMap::mapRowClicked() {
    if (mapGrid.cell(MapColumn::Start, 1).isEmpty())
        return;
    const QString start = mapGrid.cell(MapColumn::Start, mapGrid.Row());
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
        const QString start = mapGrid.cell(MapColumn::Start, r);
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
    mapGrid.setRowCount(TableLayout::StartRows);
    for (int row = 1; row < TableLayout::StartRows; ++row) {
        for (int col = MapColumn::Start; col <= MapColumn::OvfHex; ++col)
            mapGrid.setCell(col, row, QString());
    }
}

void MemoryMap::AddMapRecord(quint16 start, quint16 eom) {
    mapGrid.setRowCount(mapGrid.RowCount() + 1);
    const int r = mapGrid.FirstFreeRow();
    mapGrid.setCell(MapColumn::Start, r, AddressText::dec(start));
    mapGrid.setCell(MapColumn::StartHex, r, AddressText::hex(start));
    mapGrid.setCell(MapColumn::Eom, r, AddressText::dec(eom));
    mapGrid.setCell(MapColumn::EomHex, r, AddressText::hex(eom));
    NumberMapRows();
}

void MemoryMap::AddMapOverflow(quint16 ovf) {
    mapGrid.setRowCount(mapGrid.RowCount() + 1);
    const int r = mapGrid.FirstFreeRow();
    mapGrid.setCell(MapColumn::Ovf, r, AddressText::dec(ovf));
    mapGrid.setCell(MapColumn::OvfHex, r, AddressText::hex(ovf));
    NumberMapRows();
}

void MemoryMap::NumberMapRows() {
    mapGrid.NumberRows();
}
