#include "memorylayout.h"

#include "core/stringgrid.h"
#include "core/tablelayout.h"
#include "files/addresstext.h"
#include "fitcheck.h"

#include <QHash>
#include <QList>

#include <algorithm>

MemoryLayout::MemoryLayout(const ChipGeometry& chip, const std::vector<Placement>& placements,
                           const StringGrid& mapGrid, const RecordVerifier::Result* verified)
    : geometry(chip) {
    if (chip.firstRow > 0) {
        PictureBlock reserved;
        reserved.kind = PictureBlock::Kind::Reserved;
        reserved.lane = PictureBlock::Lane::Both;
        reserved.firstRow = 0;
        reserved.lastRow = chip.firstRow - 1;
        reserved.tip = QStringLiteral("Reserved: rows 0-%1 take no messages on the %2")
                           .arg(chip.firstRow - 1)
                           .arg(chip.name);
        all.push_back(reserved);
    }
    addFiles(placements);
    addRecords(mapGrid, verified);
    addFree(PictureBlock::Lane::Files);
    addFree(PictureBlock::Lane::Map);
}

QString MemoryLayout::rowsText(int first, int last) const {
    return QStringLiteral("rows %1-%2 (%3 s)")
        .arg(first)
        .arg(last)
        .arg(geometry.secondsOf(last - first + 1), 0, 'f', 2);
}

void MemoryLayout::addFiles(const std::vector<Placement>& placements) {
    const FitCheck fit(geometry, [](const QString&) { return std::nullopt; });
    for (const Placement& p : placements) {
        if (!p.placed() || *p.start > geometry.lastRow)
            continue;
        PictureBlock b;
        b.kind = PictureBlock::Kind::File;
        b.lane = PictureBlock::Lane::Files;
        b.tableRow = p.tableRow;
        b.firstRow = *p.start;
        b.lastRow = std::max(p.end(), b.firstRow);
        b.state = p.cut() ? PictureBlock::State::Cut : PictureBlock::State::Plain;
        b.tip = QStringLiteral("%1\n%2").arg(FitCheck::fileNameOf(p.path),
                                             rowsText(b.firstRow, b.lastRow));
        if (p.lengthKnown())
            b.tip += QStringLiteral("\nlasts %1 s").arg(double(*p.usecs) / 1e6, 0, 'f', 2);
        else
            b.tip += QStringLiteral("\nlength not known yet");
        if (p.cut())
            b.tip += QStringLiteral("\n") + fit.whyCut(p);
        all.push_back(b);
    }
}

void MemoryLayout::addRecords(const StringGrid& mapGrid, const RecordVerifier::Result* verified) {
    // The verdicts by row, looked up once a record rather than searched.
    QHash<int, QList<const RecordVerifier::RowResult*>> verdicts;
    if (verified != nullptr) {
        for (const RecordVerifier::RowResult& r : verified->rows)
            verdicts[r.tableRow].append(&r);
    }
    for (int row = 1; row < mapGrid.RowCount() && !mapGrid.cell(MapColumn::Start, row).isEmpty();
         ++row) {
        const auto start = AddressText::toInteger(mapGrid.cell(MapColumn::Start, row));
        const auto end = AddressText::toInteger(mapGrid.cell(MapColumn::Eom, row));
        if (!start || !end || *end < *start || *start > geometry.lastRow)
            continue;
        PictureBlock b;
        b.kind = PictureBlock::Kind::Record;
        b.lane = PictureBlock::Lane::Map;
        b.tableRow = row;
        b.firstRow = *start;
        b.lastRow = std::min(*end, geometry.lastRow);
        b.tip = QStringLiteral("Record %1\n%2").arg(row).arg(rowsText(b.firstRow, b.lastRow));
        for (const RecordVerifier::RowResult* r : verdicts.value(row)) {
            const bool match = r->outcome == RecordVerifier::Outcome::Match;
            b.state = match ? PictureBlock::State::Verified : PictureBlock::State::Differs;
            b.tip += match ? QStringLiteral("\nmatches file row %1").arg(row)
                           : QStringLiteral("\ndiffers: ") + r->text;
        }
        all.push_back(b);
    }
}

void MemoryLayout::addFree(PictureBlock::Lane lane) {
    std::vector<std::pair<int, int>> used;
    for (const PictureBlock& b : all) {
        if (b.lane == lane || b.lane == PictureBlock::Lane::Both)
            used.emplace_back(b.firstRow, b.lastRow);
    }
    std::sort(used.begin(), used.end());
    int next = 0;
    auto gap = [&](int first, int last) {
        if (last < first)
            return;
        PictureBlock b;
        b.kind = PictureBlock::Kind::Free;
        b.lane = lane;
        b.firstRow = first;
        b.lastRow = last;
        b.tip = QStringLiteral("Free\n") + rowsText(first, last);
        all.push_back(b);
    };
    for (const auto& [first, last] : used) {
        gap(next, first - 1);
        next = std::max(next, last + 1);
    }
    gap(next, geometry.lastRow);
}

int MemoryLayout::xOfRow(int row, int rowCount, const QRect& area) {
    return area.left() + int(qint64(row) * area.width() / std::max(rowCount, 1));
}

QRect MemoryLayout::rectOf(const PictureBlock& block, const QRect& area) const {
    const int x0 = xOfRow(block.firstRow, geometry.rowCount(), area);
    // A block is never thinner than one pixel, so that short messages show.
    const int x1 = std::max(xOfRow(block.lastRow + 1, geometry.rowCount(), area), x0 + 1);
    const int half = area.height() / 2;
    switch (block.lane) {
    case PictureBlock::Lane::Files:
        return QRect(x0, area.top(), x1 - x0, half);
    case PictureBlock::Lane::Map:
        return QRect(x0, area.top() + half, x1 - x0, area.height() - half);
    case PictureBlock::Lane::Both:
        break;
    }
    return QRect(x0, area.top(), x1 - x0, area.height());
}

const PictureBlock* MemoryLayout::blockAt(const QPoint& point, const QRect& area) const {
    const PictureBlock* freeHit = nullptr;
    for (const PictureBlock& b : all) {
        if (!rectOf(b, area).contains(point))
            continue;
        if (b.kind != PictureBlock::Kind::Free)
            return &b;
        freeHit = &b;
    }
    return freeHit;
}
