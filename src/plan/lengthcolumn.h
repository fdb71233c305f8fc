#pragma once

#include "chipgeometry.h"
#include "placement.h"

#include <QString>
#include <vector>

// The file table's Length column: each file's length and a mark where the
// plan's fit check finds it too long for the rows it gets. Shown only; it is
// no cell of the table and never saved.
class LengthColumn {
public:
    struct Entry {
        QString text; // "3.40 s", "3.40 s ⚠" when too long; "" while not known
        QString tip;  // why it is too long, or why no length is known
        bool cut = false;
    };

    static QString header() { return QStringLiteral("Length"); }
    // The mark after the length of a file that will be cut (a warning sign).
    static QString cutMark() { return QStringLiteral("\u26a0"); }

    // One entry per table row from 1 on; `measuring` says lengths not known
    // yet may still come.
    static std::vector<Entry> entries(const ChipGeometry& chip,
                                      const std::vector<Placement>& placements, bool measuring);
};
