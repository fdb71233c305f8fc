#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class QFile;
class QIODevice;

// Reads the lines of a list file (file list or memory map). A line ends with
// CR LF, LF alone or CR alone (lists written on any system, old Mac editors
// included), and a last line may lack its end. Lines may be as long as a few
// full Linux paths; a longer one is reported instead of being cut, so that a
// table is never loaded short without a word.
class ListFileReader {
public:
    enum class Status { Line, End, TooLong };

    // Three fields of a full path each, with room to spare.
    static constexpr qint64 MaxLineLength = 16 * 1024;

    explicit ListFileReader(QIODevice& device) : device(device) {}

    // Opens a list file for reading. Empty on success, else the message for
    // the user: "Cannot open <file>: <reason>". Named pipes and sockets are
    // refused rather than waited on.
    static QString open(QFile& file);

    // The next line without its end into `line`.
    Status next(QByteArray& line);

private:
    // Reads more of the device behind what is left; false at its end.
    bool fill();

    QIODevice& device;
    QByteArray buffer;
    qsizetype pos = 0;
    bool ended = false;
};
