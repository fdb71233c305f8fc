#pragma once

#include "chipgeometry.h"
#include "fitcheck.h"

#include <QString>

class StringGrid;

// Gives every file of the table a start and a stop address so that the files
// follow each other from the start of memory, each taking the rows its
// length needs. The table changes only when every file fits.
class AddressPlanner {
public:
    AddressPlanner(const ChipGeometry& chip, FitCheck::LengthOf lengthOf);

    struct Result {
        bool planned = false;
        int rowsUsed = 0; // rows the files take together
        QString message;  // what to tell the user
    };
    Result plan(StringGrid& fileGrid) const;

    // A stop address must lie above its start address, so every file takes
    // at least this many rows.
    static constexpr int MinimumRows = 2;

private:
    ChipGeometry chip;
    FitCheck::LengthOf lengthOf;
};
