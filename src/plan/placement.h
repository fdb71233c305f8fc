#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

// Where one row of the file table will go in the chip, and whether its sound
// fits there.
struct Placement {
    int tableRow = 0;
    QString path;
    // The first row of the message; nothing when it follows a file whose
    // length is not known yet.
    std::optional<int> start;
    // The last row the message may use: its stop address, else the row before
    // the next message, else the chip's last row.
    int limit = 0;
    // The row has a start address of its own; without one it starts where
    // the recording before it stopped.
    bool startGiven = false;
    bool stopGiven = false;
    std::optional<qint64> usecs; // the file's length, when known
    int neededRows = 0;          // rows the whole sound needs; 0 when unknown

    bool placed() const { return start.has_value(); }
    int capacity() const { return start ? limit - *start + 1 : 0; }
    bool lengthKnown() const { return usecs.has_value(); }
    // The sound is longer than its rows: its end will be cut.
    bool cut() const { return placed() && lengthKnown() && neededRows > capacity(); }
    // The last row the recording will reach.
    int end() const;
};
