#pragma once

#include <QByteArray>
#include <QString>

// Writes a whole list file in one go. A regular file is written beside the
// old one and put in its place only when complete, so a failed or cut-off
// save leaves the previous file as it was.
namespace ListFileWriter {

// Empty on success, else a message for the user that names the file and the
// reason.
QString write(const QString& fileName, const QByteArray& contents);

} // namespace ListFileWriter
