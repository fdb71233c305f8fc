#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>
#include <vector>

class ChipControl;
class StringGrid;
struct LinkContext;

// How far a long chip operation has come and how long it will still take,
// for the status bar's progress bar: table and file recordings, scans and
// checks. Like LinkProgress it only reads the window's state.
//
// A recording is measured in sound: the files' lengths, with the time the
// current file has been recording. A scan goes by the address the programmer
// last reported, a check by the table rows it has found; their time left
// follows from the pace so far.
//
// While the programmer is silent (the watchdog's verdict) nothing is known to
// move on: the bar holds where it was and tells no time left.
class OperationEstimate {
public:
    struct Sources {
        const LinkContext& link;
        const ChipControl& chip;
        const StringGrid& fileGrid;
    };
    // The length of a sound file in milliseconds, when known.
    using LengthOf = std::function<std::optional<qint64>(const QString& path)>;

    OperationEstimate(Sources sources, std::function<qint64()> nowMs, LengthOf lengthOf);

    struct Estimate {
        bool shown = false; // an operation with progress runs
        double done = -1;   // 0 .. 1; below 0 when it cannot be told
        qint64 leftMs = -1; // below 0 when it cannot be told
    };
    Estimate update();

    // "0:42 left", "12:05 left".
    static QString leftText(qint64 ms);

private:
    void started(int state);
    Estimate measure(int state);
    qint64 lengthOfRow(int row);
    Estimate recording(bool table);
    Estimate byPace(double done);

    Sources s;
    std::function<qint64()> nowMs;
    LengthOf lengthOf;
    int lastState;
    qint64 startedAt = 0;
    int currentRow = -1;
    qint64 rowSince = 0;
    // The table's lengths in ms, taken when the recording started; -1 unknown.
    std::vector<qint64> lengths;
    // How far it was before the programmer fell silent; -1 not known.
    double heldDone = -1;
};
