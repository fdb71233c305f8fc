#pragma once

#include "chipgeometry.h"
#include "placement.h"

#include <QByteArray>
#include <QString>
#include <vector>

class StringGrid;

// The message addresses as a C header for the firmware that plays the chip:
// one entry per message with a name, its first and last row and its length.
class HeaderExport {
public:
    struct Message {
        QString name; // a C identifier
        int start = 0;
        int end = 0;
        qint64 lengthMs = 0;
    };

    explicit HeaderExport(const ChipGeometry& chip);

    // From the file table as it will be recorded; names from the file names.
    std::vector<Message> fromFiles(const std::vector<Placement>& placements) const;
    // From the memory map as found in the chip; messages without an end of
    // message are left out.
    std::vector<Message> fromMap(const StringGrid& mapGrid) const;

    // The header text; `source` says where the addresses came from.
    QByteArray header(const std::vector<Message>& messages, const QString& source) const;

    // "MSG_" and the file name without its extension, in capitals, anything
    // but letters and digits as "_"; names taken already get "_2", "_3", ...
    static QString nameFor(const QString& fileName);

private:
    ChipGeometry chip;
};
