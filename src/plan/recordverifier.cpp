#include "recordverifier.h"

#include "core/stringgrid.h"
#include "core/tablelayout.h"
#include "files/addresstext.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

RecordVerifier::RecordVerifier(const ChipGeometry& chip_) : chip(chip_) {}

bool RecordVerifier::Result::allMatch() const {
    return differingRows().empty() && !rows.empty();
}

std::vector<int> RecordVerifier::Result::differingRows() const {
    std::vector<int> out;
    for (const RowResult& r : rows) {
        if (r.outcome != Outcome::Match)
            out.push_back(r.tableRow);
    }
    return out;
}

RecordVerifier::Result RecordVerifier::verify(const std::vector<Placement>& placements,
                                              const StringGrid& mapGrid) const {
    Result result;
    // Rows one report interval lasts, and the one a sound's end shares.
    const int overrunRows = int(std::ceil(ReportSeconds / chip.rowSeconds)) + 1;
    int previousEnd = -1;
    for (const Placement& p : placements) {
        RowResult r;
        r.tableRow = p.tableRow;
        if (!p.startGiven && previousEnd >= 0)
            r.expectedStart = previousEnd + 1;
        else if (p.placed())
            r.expectedStart = *p.start;
        if (p.placed() && p.lengthKnown())
            r.expectedRows = std::min(std::max(p.neededRows, 1), p.capacity());
        // Check records keeps one record per file row.
        const auto start = AddressText::toInteger(mapGrid.cell(MapColumn::Start, p.tableRow));
        const auto end = AddressText::toInteger(mapGrid.cell(MapColumn::Eom, p.tableRow));
        previousEnd = -1;
        if (!start || !end) {
            r.outcome = Outcome::Missing;
            r.text = QStringLiteral("row %1: no message found").arg(p.tableRow);
        } else {
            r.foundStart = *start;
            r.foundRows = *end - *start + 1;
            previousEnd = *end;
            // A stop address ends the run-on where it lies.
            int longest = r.expectedRows + overrunRows;
            if (p.stopGiven)
                longest = std::max(r.expectedRows + 1, std::min(longest, p.capacity()));
            if (r.expectedStart >= 0 && r.foundStart != r.expectedStart) {
                r.outcome = Outcome::WrongStart;
                r.text =
                    QStringLiteral("row %1: found at %2, meant for %3")
                        .arg(p.tableRow)
                        .arg(AddressText::dec(r.foundStart), AddressText::dec(r.expectedStart));
            } else if (r.expectedRows > 0 &&
                       (r.foundRows < r.expectedRows - 1 || r.foundRows > longest)) {
                r.outcome = Outcome::WrongLength;
                r.text = QStringLiteral("row %1: %2 rows (%3 s) found, the file needs %4 rows "
                                        "(%5 s)")
                             .arg(p.tableRow)
                             .arg(r.foundRows)
                             .arg(chip.secondsOf(r.foundRows), 0, 'f', 2)
                             .arg(r.expectedRows)
                             .arg(chip.secondsOf(r.expectedRows), 0, 'f', 2);
            }
        }
        result.rows.push_back(r);
    }
    const std::vector<int> differing = result.differingRows();
    if (result.rows.empty()) {
        result.summary = QStringLiteral("Verify: the file table is empty.");
    } else if (differing.empty()) {
        result.summary = QStringLiteral("Verified: all %1 messages match the file table.")
                             .arg(result.rows.size());
    } else {
        QStringList texts;
        for (const RowResult& r : result.rows) {
            if (r.outcome != Outcome::Match)
                texts.append(r.text);
        }
        result.summary = QStringLiteral("Verify: %1 of %2 messages differ - %3")
                             .arg(differing.size())
                             .arg(result.rows.size())
                             .arg(texts.join(QStringLiteral("; ")));
    }
    return result;
}
