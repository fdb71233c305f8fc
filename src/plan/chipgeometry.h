#pragma once

#include <QString>
#include <QtGlobal>

class ChipControl;

// What planning needs to know of a chip: which rows take messages and how long
// a row lasts. The older types share their total time evenly over their rows;
// the ISD 1700 family records 125 ms a row at 8 kHz and keeps rows 0 to 15 free.
struct ChipGeometry {
    QString name;      // as the bottom panel shows it, e.g. "ISD 33060"
    int firstRow = 0;  // the first row a message may use
    int lastRow = 399; // the chip's last row
    double rowSeconds = 0.15;

    // The type the window has applied, with the last address it holds now.
    static ChipGeometry of(const ChipControl& chip);
    // A catalogue type (1 to 50) with the last address the catalogue gives it.
    static ChipGeometry ofType(int chipType);

    int rowCount() const { return lastRow + 1; }
    // The rows a sound of this length needs; a partly filled row counts whole.
    int rowsFor(qint64 usecs) const;
    double secondsOf(int rows) const { return rows * rowSeconds; }
};
