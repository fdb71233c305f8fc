#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// One line of a file list (".lsp"): start address, stop address and sound
// file name, each followed by ";", the line ended by CR LF. Texts are 8-bit
// in the system's encoding, kept byte for byte (LocalText). A name holding
// ";" or a line break cannot be stored.
namespace FileListFormat {

struct Entry {
    QString start;
    QString stop;
    QString file;
};

// The line with its CR LF.
QByteArray formatLine(const Entry& entry);
// The three fields of a line without its end; text after the third ";" is
// ignored. Nothing for a line with fewer than three ";".
std::optional<Entry> parseLine(const QByteArray& line);

// Whether a sound file name can be stored in a list line.
bool storable(const QString& fileName);

} // namespace FileListFormat
