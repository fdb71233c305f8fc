#pragma once

#include <QByteArray>
#include <QString>
#include <array>

// One line of a memory map file (".mpp"): start, start in hexadecimal, EOM,
// EOM in hexadecimal, OVF, OVF in hexadecimal, each followed by ";", the
// line ended by CR LF.
namespace MapFileFormat {

using Record = std::array<QString, 6>;

// The line with its CR LF.
QByteArray formatLine(const Record& record);
// The fields of a line without its end. Fields missing at the end of a
// short line are empty; text after the sixth ";" is ignored; nothing is
// checked.
Record parseLine(const QByteArray& line);

} // namespace MapFileFormat
