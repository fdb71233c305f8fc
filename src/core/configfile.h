#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The settings file "isdvokar.fig": seven text lines in the working folder.
//   1 header, 2 port number, 3 chip type, 4 sound folder, 5 list folder,
//   6 map folder, 7 "Auto open" (1 or 0).
// Each of its readers opens it by itself and takes its own lines; a missing
// or unreadable file is never reported, the readers fall back to defaults.
namespace ConfigFile {

inline constexpr int LineCount = 7;
inline QString defaultName() {
    return QStringLiteral("isdvokar.fig");
}
inline QString header() {
    return QStringLiteral("VOKAR-1 Configuration File");
}

// The first `count` lines (fewer when the file is shorter), line ends CR LF or
// LF alone; nullopt when the file does not open.
std::optional<QStringList> readLines(int count, const QString& path = defaultName());

// A decimal integer with an optional sign; blanks around it are allowed.
std::optional<int> parseDecimal(const QString& text);

// Writes the lines, each ended by CR LF, as FileSaver does. Empty on success,
// else the message for the user, naming the file and the reason.
QString writeLines(const QStringList& lines, const QString& path = defaultName());

} // namespace ConfigFile
