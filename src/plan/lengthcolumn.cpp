#include "lengthcolumn.h"

#include "fitcheck.h"

std::vector<LengthColumn::Entry> LengthColumn::entries(const ChipGeometry& chip,
                                                       const std::vector<Placement>& placements,
                                                       bool measuring) {
    const FitCheck fit(chip, [](const QString&) { return std::nullopt; });
    std::vector<Entry> out;
    for (const Placement& p : placements) {
        Entry entry;
        if (p.lengthKnown()) {
            entry.text = QStringLiteral("%1 s").arg(double(*p.usecs) / 1e6, 0, 'f', 2);
            if (p.cut()) {
                entry.cut = true;
                entry.text += u' ' + cutMark();
                entry.tip = fit.whyCut(p);
            }
        } else if (!measuring) {
            entry.text = QStringLiteral("?");
            entry.tip = QStringLiteral("Not readable as a sound file");
        }
        out.push_back(entry);
    }
    return out;
}
