#pragma once

#include <QByteArray>
#include <QtGlobal>

class QIODevice;

// Reads the lines of a list file (file list or memory map): CR LF or LF
// alone ends a line, and a last line may lack its end. Lines may be as long
// as a few full Linux paths; a longer one is reported instead of being cut,
// so that a table is never loaded short without a word.
class ListFileReader {
public:
    enum class Status { Line, End, TooLong };

    // Three fields of a full path each, with room to spare.
    static constexpr qint64 MaxLineLength = 16 * 1024;

    explicit ListFileReader(QIODevice& device) : device(device) {}

    // The next line without its end into `line`.
    Status next(QByteArray& line);

private:
    QIODevice& device;
};
