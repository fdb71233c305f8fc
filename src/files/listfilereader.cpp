#include "listfilereader.h"

#include <QIODevice>

ListFileReader::Status ListFileReader::next(QByteArray& line) {
    if (device.atEnd())
        return Status::End;
    // Room for the longest line we take plus its CR LF.
    line = device.readLine(MaxLineLength + 2);
    if (line.isEmpty())
        return Status::End;
    const bool ended = line.endsWith('\n');
    if (!ended && !device.atEnd())
        return Status::TooLong;
    if (ended)
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    if (line.size() > MaxLineLength)
        return Status::TooLong;
    return Status::Line;
}
