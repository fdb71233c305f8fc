#pragma once

#include <QByteArrayView>
#include <QMap>
#include <QString>

// The lines "COMn=device" of the ports file ("isdvokar.ports"), read once:
// whoever needs several numbers (the port dialog shows six and looks for
// every named device twice a second) reads the file once, however long it is.
// Blanks around the name and the device are ignored, the name in any case;
// lines starting with "#" are comments; the first line for a number counts.
class PortsFile {
public:
    // A file that cannot be read names no devices.
    static PortsFile read(const QString& path);
    // The same from the file's bytes.
    static PortsFile parse(const QByteArray& bytes);

    // The device the file names for "COMn"; empty when it has no line for it.
    QString deviceFor(int portNumber) const { return devices.value(portNumber); }
    // Every number with a line, in order, and its device.
    const QMap<int, QString>& entries() const { return devices; }
    // The file it was read from.
    const QString& path() const { return from; }

private:
    void take(QByteArrayView line);

    QMap<int, QString> devices;
    QString from;
};
