#pragma once

#include <QByteArray>
#include <QString>

// The settings file "isdvokar.fig" as the program writes it: seven lines, each
// ended by CR LF. A test starts from the usual one (COM1, opened at start,
// chip type 1, no folders) and changes what it is about:
//   SettingsFile().chipType(42).autoOpen(false).text()
class SettingsFile {
public:
    static QString name() { return QStringLiteral("isdvokar.fig"); }

    SettingsFile& port(int number);
    SettingsFile& chipType(int type);
    // Line 3 as it stands, whether or not it is a number.
    SettingsFile& chipTypeLine(const QByteArray& line);
    SettingsFile& folders(const QByteArray& sound, const QByteArray& list, const QByteArray& map);
    SettingsFile& autoOpen(bool open);

    QByteArray text() const;

private:
    QByteArray portLine = "1";
    QByteArray chipLine = "1";
    QByteArray soundLine, listLine, mapLine;
    QByteArray autoOpenLine = "1";
};
