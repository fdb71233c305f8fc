#include "addressplanner.h"

#include "core/stringgrid.h"
#include "core/tablelayout.h"
#include "files/addresstext.h"

#include <algorithm>
#include <vector>

AddressPlanner::AddressPlanner(const ChipGeometry& chip_, FitCheck::LengthOf lengthOf_)
    : chip(chip_), lengthOf(std::move(lengthOf_)) {}

AddressPlanner::Result AddressPlanner::plan(StringGrid& fileGrid) const {
    Result result;
    std::vector<int> needed;
    for (int row = 1; row < fileGrid.RowCount() && !fileGrid.cell(FileColumn::File, row).isEmpty();
         ++row) {
        const QString path = fileGrid.cell(FileColumn::File, row);
        const auto usecs = lengthOf(path);
        if (!usecs || *usecs <= 0) {
            result.message = QStringLiteral("The length of %1 cannot be read; no address "
                                            "was changed.")
                                 .arg(FitCheck::fileNameOf(path));
            return result;
        }
        needed.push_back(std::max(chip.rowsFor(*usecs), MinimumRows));
    }
    if (needed.empty()) {
        result.message = QStringLiteral("The file table is empty.");
        return result;
    }
    int total = 0;
    for (int rows : needed)
        total += rows;
    result.rowsUsed = total;
    const int available = chip.lastRow - chip.firstRow + 1;
    if (total > available) {
        const int missing = total - available;
        result.message =
            QStringLiteral("The table does not fit the %1: its files need %2 rows (%3 s), the "
                           "chip holds %4 rows (%5 s) from row %6. %7 rows (%8 s) are missing; "
                           "no address was changed.")
                .arg(chip.name)
                .arg(total)
                .arg(chip.secondsOf(total), 0, 'f', 2)
                .arg(available)
                .arg(chip.secondsOf(available), 0, 'f', 2)
                .arg(chip.firstRow)
                .arg(missing)
                .arg(chip.secondsOf(missing), 0, 'f', 2);
        return result;
    }
    int start = chip.firstRow;
    for (size_t i = 0; i < needed.size(); ++i) {
        const int row = int(i) + 1;
        fileGrid.setCell(FileColumn::Start, row, AddressText::dec(start));
        fileGrid.setCell(FileColumn::Stop, row, AddressText::dec(start + needed[i] - 1));
        start += needed[i];
    }
    result.planned = true;
    const int free = available - total;
    result.message = QStringLiteral("%1 files planned in rows %2-%3; %4 rows (%5 s) are left free.")
                         .arg(needed.size())
                         .arg(chip.firstRow)
                         .arg(start - 1)
                         .arg(free)
                         .arg(chip.secondsOf(free), 0, 'f', 2);
    return result;
}
