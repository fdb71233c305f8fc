#pragma once

#include "chipgeometry.h"
#include "placement.h"

#include <QString>
#include <vector>

class StringGrid;

// After "Check records": the records found in the chip against the file
// table, row by row. A message passes when it starts where its file was meant
// to start and is as long as the file (as far as its rows let it) within one
// row.
//
// The programmer records on until the stop that answers its first progress
// report after the sound has ended, or until the stop address: a message may
// be longer than its sound by the rows of one report interval, as far as its
// stop address lets it. A file without a start address of its own starts
// where the recording before it stopped, which is where Check records looks
// for it.
class RecordVerifier {
public:
    // How often the programmer reports progress while it records.
    static constexpr double ReportSeconds = 1.0;

    enum class Outcome { Match, Missing, WrongStart, WrongLength };

    struct RowResult {
        int tableRow = 0;
        Outcome outcome = Outcome::Match;
        int expectedStart = -1; // -1 when the table does not tell
        int expectedRows = 0;   // 0 when the file's length is not known
        int foundStart = -1;    // -1 when no record was found
        int foundRows = 0;
        QString text; // what differs, for the tool tip; empty on a match
    };

    struct Result {
        std::vector<RowResult> rows;
        bool allMatch() const;
        std::vector<int> differingRows() const;
        QString summary; // the status-bar text
    };

    explicit RecordVerifier(const ChipGeometry& chip);

    Result verify(const std::vector<Placement>& placements, const StringGrid& mapGrid) const;

private:
    ChipGeometry chip;
};
