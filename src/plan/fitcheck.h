#pragma once

#include "chipgeometry.h"
#include "placement.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

class StringGrid;

// Lays the file table over the chip as the recording will: a file starts at
// its start address, or where the file before it ends; it may run to its stop
// address, or without one up to the next message or the end of memory.
class FitCheck {
public:
    using LengthOf = std::function<std::optional<qint64>(const QString& path)>;

    FitCheck(const ChipGeometry& chip, LengthOf lengthOf);

    // One placement for every data row of the table that holds a file.
    std::vector<Placement> place(const StringGrid& fileGrid) const;

    // Why a placement does not fit, e.g. "bell.wav lasts 3.40 s; rows 16-35
    // hold 2.50 s"; empty when it fits or cannot be told.
    QString whyCut(const Placement& p) const;
    // The status-bar text naming every file that will be cut; empty when none.
    QString cutWarning(const std::vector<Placement>& placements) const;

    static QString fileNameOf(const QString& path);

private:
    ChipGeometry chip;
    LengthOf lengthOf;
};
