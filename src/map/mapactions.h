#pragma once

#include <QtGlobal>

class StringGrid;

// The ways a memory scan or a check fills the memory map `ListaNagran`:
// column 1 start, 2 start in hex, 3 EOM, 4 EOM in hex, 5 OVF, 6 OVF in hex.
namespace MapActions {

inline constexpr int StartRows = 120;

// The first data row whose start cell is empty; a row holding only the
// overflow cells still counts as free.
int FirstFreeRow(const StringGrid& map);

// Back to 120 rows with columns 1-6 of the data rows emptied.
void ClearMemoryMap(StringGrid& map);
// Grows the map by one row and writes a record into the first free row.
void AddMapRecord(StringGrid& map, quint16 start, quint16 eom);
// Grows the map by one row and writes only the overflow cells of the first free row.
void AddMapOverflow(StringGrid& map, quint16 ovf);
// Column 0 of every data row gets its number.
void NumberMapRows(StringGrid& map);
// Selects the first record that starts at `address` (or, with `next`, one
// after it); returns false when none does.
bool SelectMapRowAt(StringGrid& map, int address, bool next);

} // namespace MapActions
