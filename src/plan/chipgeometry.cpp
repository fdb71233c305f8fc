#include "chipgeometry.h"

#include "chips/chipcatalogue.h"
#include "chips/chipcontrol.h"

#include <cmath>

namespace {

constexpr double Isd1700RowSeconds = 0.125;

ChipGeometry build(int chipType, int lastRow) {
    ChipGeometry g;
    g.lastRow = lastRow;
    const ChipInfo* info = ChipCatalogue::find(chipType);
    if (info == nullptr) {
        g.name = QStringLiteral("ISD 33060");
        g.rowSeconds = 60.0 / (lastRow + 1);
        return g;
    }
    g.name = QString::fromLatin1(info->name);
    if (ChipCatalogue::isIsd1700(chipType)) {
        g.firstRow = ChipCatalogue::Isd1700FirstRow;
        g.rowSeconds = Isd1700RowSeconds;
    } else {
        g.rowSeconds = double(info->totalSeconds) / (info->lastAddress + 1);
    }
    return g;
}

} // namespace

ChipGeometry ChipGeometry::of(const ChipControl& chip) {
    return build(chip.ChipType, chip.LastAddress);
}

ChipGeometry ChipGeometry::ofType(int chipType) {
    const ChipInfo* info = ChipCatalogue::find(chipType);
    return build(chipType, info != nullptr ? info->lastAddress : 399);
}

int ChipGeometry::rowsFor(qint64 usecs) const {
    if (usecs <= 0)
        return 0;
    const double rows = double(usecs) / (rowSeconds * 1e6);
    // A length that fills its last row to the microsecond does not spill
    // into another one for rounding's sake.
    return int(std::ceil(rows - 1e-6));
}
