#include "settingsfile.h"

SettingsFile& SettingsFile::port(int number) {
    portLine = QByteArray::number(number);
    return *this;
}

SettingsFile& SettingsFile::chipType(int type) {
    chipLine = QByteArray::number(type);
    return *this;
}

SettingsFile& SettingsFile::chipTypeLine(const QByteArray& line) {
    chipLine = line;
    return *this;
}

SettingsFile& SettingsFile::folders(const QByteArray& sound, const QByteArray& list,
                                    const QByteArray& map) {
    soundLine = sound;
    listLine = list;
    mapLine = map;
    return *this;
}

SettingsFile& SettingsFile::autoOpen(bool open) {
    autoOpenLine = open ? "1" : "0";
    return *this;
}

QByteArray SettingsFile::text() const {
    QByteArray text;
    for (const QByteArray& line : {QByteArray("VOKAR-1 Configuration File"), portLine, chipLine,
                                   soundLine, listLine, mapLine, autoOpenLine})
        text += line + "\r\n";
    return text;
}
