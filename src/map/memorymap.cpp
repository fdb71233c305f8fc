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
    : map(map_), panel(panel_), chip(chip_) {}

void MemoryMap::ListaNagranClick() {
    if (map.cell(StartCol, 1).isEmpty())
        return;
    const QString start = map.cell(StartCol, map.Row());
    if (start.isEmpty())
        return;
    const int v = AddressText::toIntegerOrFail(start);
    panel.setText(PanelTexts::Adres, AddressText::dec(v));
    panel.setText(PanelTexts::AdresHex, AddressText::hex(v));
    panel.setText(PanelTexts::CzasDoKon, chip.TimeToEndText(static_cast<quint16>(v)));
}

void MemoryMap::SelectMapRow(int row) {
    if (row == map.Row())
        return;
    map.setRow(row);
    ListaNagranClick();
}

void MemoryMap::SelectMapRowAt(int address, bool next) {
    for (int r = 1; r < map.RowCount(); ++r) {
        const QString start = map.cell(StartCol, r);
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
    StringGrid::BulkUpdate bulk(map);
    map.setRowCount(BaseRows);
    for (int row = 1; row < BaseRows; ++row) {
        for (int col = StartCol; col <= LastCol; ++col)
            map.setCell(col, row, QString());
    }
}

void MemoryMap::AddMapRecord(quint16 start, quint16 eom) {
    map.setRowCount(map.RowCount() + 1);
    const int r = map.FirstFreeRow();
    map.setCell(1, r, AddressText::dec(start));
    map.setCell(2, r, AddressText::hex(start));
    map.setCell(3, r, AddressText::dec(eom));
    map.setCell(4, r, AddressText::hex(eom));
    NumberMapRows();
}

void MemoryMap::AddMapOverflow(quint16 ovf) {
    map.setRowCount(map.RowCount() + 1);
    const int r = map.FirstFreeRow();
    map.setCell(5, r, AddressText::dec(ovf));
    map.setCell(6, r, AddressText::hex(ovf));
    NumberMapRows();
}

void MemoryMap::NumberMapRows() {
    map.NumberRows();
}
