#pragma once

#include <QStringList>

class StringGrid;

// The layout of the two tables, defined once for the code, start-up and the
// tests. Cells are addressed as the program's rules speak of them: column 0
// holds the row numbers, row 0 the headers.

// The file table (control "ListaPlikow").
namespace FileColumn {
inline constexpr int Number = 0;
inline constexpr int Start = 1; // start address, or "not used"
inline constexpr int Stop = 2;  // stop address, or "not used"
inline constexpr int File = 3;  // the sound file's full path
inline constexpr int Count = 4;
} // namespace FileColumn

// The memory map (control "ListaNagran"): each address in decimal and in
// hexadecimal.
namespace MapColumn {
inline constexpr int Number = 0;
inline constexpr int Start = 1;
inline constexpr int StartHex = 2;
inline constexpr int Eom = 3; // end of message
inline constexpr int EomHex = 4;
inline constexpr int Ovf = 5; // overflow
inline constexpr int OvfHex = 6;
inline constexpr int Count = 7;
} // namespace MapColumn

namespace TableLayout {

// Both tables start with, and are cleared back to, row 0 and data rows 1 to
// 119; every entry added beyond them adds a row.
inline constexpr int StartRows = 120;

// The header texts of columns 1 on.
QStringList fileHeaders();
QStringList mapHeaders();

// A table as the window starts it: headers, row numbers, empty cells.
void setUp(StringGrid& grid, const QStringList& headers);

} // namespace TableLayout
