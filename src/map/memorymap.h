#pragma once

#include <QtGlobal>

class ChipControl;
class PanelTexts;
class StringGrid;

// The memory map: one row for each message found in the chip, with its
// start, its end (EOM) and, where the memory's end was reached, the overflow
// address (OVF), each in decimal and in hexadecimal. The scan and the record
// check fill it through the operations here; selecting a row makes the
// message's start the current address.
class MemoryMap {
public:
    MemoryMap(StringGrid& mapGrid, PanelTexts& panel, const ChipControl& chip);

    // The user clicked the selected row or moved to it. A start cell that is
    // no number ends the command with the standard error report.
    void mapRowClicked();
    // Another part of the program selects a row; the row's address is shown
    // only when the selection actually moves.
    void SelectMapRow(int row);
    // Selects the first record that starts at `address` (or, with `next`,
    // at `address` + 1).
    void SelectMapRowAt(int address, bool next);

    // Back to TableLayout::StartRows empty rows.
    void ClearMemoryMap();
    // A message from `start` to `eom`, in the first free row.
    void AddMapRecord(quint16 start, quint16 eom);
    // The overflow address alone, in the first free row, which stays free.
    void AddMapOverflow(quint16 ovf);
    void NumberMapRows();

private:
    StringGrid& mapGrid;
    PanelTexts& panel;
    const ChipControl& chip;
};
