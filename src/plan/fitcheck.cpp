#include "fitcheck.h"

#include "laterstarts.h"

#include "core/stringgrid.h"
#include "core/tablelayout.h"
#include "files/addresstext.h"

#include <QStringList>

namespace {

std::optional<int> addressIn(const QString& cell) {
    if (cell == AddressText::notUsed())
        return std::nullopt;
    return AddressText::toInteger(cell);
}

} // namespace

FitCheck::FitCheck(const ChipGeometry& chip_, LengthOf lengthOf_)
    : chip(chip_), lengthOf(std::move(lengthOf_)) {}

QString FitCheck::fileNameOf(const QString& path) {
    // Paths may come from either platform's list files.
    const qsizetype cut =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(cut + 1);
}

std::vector<Placement> FitCheck::place(const StringGrid& fileGrid) const {
    std::vector<Placement> out;
    int rows = 0;
    while (rows + 1 < fileGrid.RowCount() && !fileGrid.cell(FileColumn::File, rows + 1).isEmpty())
        ++rows;
    std::vector<std::optional<int>> starts;
    starts.reserve(size_t(rows));
    for (int row = 1; row <= rows; ++row)
        starts.push_back(addressIn(fileGrid.cell(FileColumn::Start, row)));
    const LaterStarts later(starts);
    out.reserve(size_t(rows));
    for (int row = 1; row <= rows; ++row) {
        Placement p;
        p.tableRow = row;
        p.path = fileGrid.cell(FileColumn::File, row);
        if (const auto start = starts[size_t(row - 1)]) {
            p.start = std::max(*start, chip.firstRow);
            p.startGiven = true;
        } else if (out.empty())
            p.start = chip.firstRow;
        else if (out.back().placed() && (out.back().lengthKnown() || out.back().stopGiven))
            p.start = out.back().end() + 1;
        if (const auto stop = addressIn(fileGrid.cell(FileColumn::Stop, row))) {
            p.stopGiven = true;
            p.limit = std::min(*stop, chip.lastRow);
        } else {
            p.limit = chip.lastRow;
            // The next message with an address of its own, beyond this start.
            if (const auto nextStart = later.after(row, p.start))
                p.limit = std::min(p.limit, *nextStart - 1);
        }
        p.usecs = lengthOf(p.path);
        if (p.usecs)
            p.neededRows = chip.rowsFor(*p.usecs);
        out.push_back(p);
    }
    return out;
}

QString FitCheck::whyCut(const Placement& p) const {
    if (!p.cut())
        return QString();
    const QString rows = p.capacity() > 0
                             ? QStringLiteral("rows %1-%2 hold %3 s")
                                   .arg(*p.start)
                                   .arg(p.limit)
                                   .arg(chip.secondsOf(p.capacity()), 0, 'f', 2)
                             : QStringLiteral("no rows are left for it at %1").arg(*p.start);
    return QStringLiteral("%1 lasts %2 s; %3")
        .arg(fileNameOf(p.path))
        .arg(double(*p.usecs) / 1e6, 0, 'f', 2)
        .arg(rows);
}

QString FitCheck::cutWarning(const std::vector<Placement>& placements) const {
    QStringList names;
    for (const Placement& p : placements) {
        if (p.cut())
            names.append(whyCut(p));
    }
    if (names.isEmpty())
        return QString();
    return QStringLiteral("Will be cut: ") + names.join(QStringLiteral(" | "));
}
