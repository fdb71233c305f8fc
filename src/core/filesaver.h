#pragma once

#include <QByteArray>
#include <QString>

// Writes a whole file (a list, a map, the settings) in one go, so that a
// failed or cut-off save loses as little as it can, and reports why it failed.
//
// - A regular file is written beside the old one and put in its place only
//   when complete and of the right size (a full disk or a size limit can cut
//   a write short without an error); the new file gets the old one's
//   permissions, owner and group.
// - Where that cannot be done, the file is written in place, as a plain
//   write would: the folder lets no new file be made (a writable file in a
//   read-only folder), the old owner or group cannot be given to a new file,
//   or the file has more than one name (hard links, which a replacement would
//   split). Room for a longer file is taken before the first byte is written.
// - Devices are written as they are; named pipes and sockets are refused
//   (the write would wait for a reader).
namespace FileSaver {

// Empty on success, else the message for the user:
// "Cannot save "<file>": <reason>".
QString write(const QString& fileName, const QByteArray& contents);

} // namespace FileSaver
