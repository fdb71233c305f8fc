#pragma once

#include "portsfile.h"

#include <QList>
#include <QString>
#include <QStringList>

// The serial devices present now, as the port dialog lists them: the ports
// the system reports, with the description their driver gives ("FT232R USB
// UART"), and the devices named in the ports file that are not among them
// (the pseudo-terminals vokar-emu runs on).
struct SerialDevice {
    QString path;
    QString description;

    bool operator==(const SerialDevice& other) const {
        return path == other.path && description == other.description;
    }
    // "/dev/ttyUSB0 — FT232R USB UART"
    QString label() const;
};

namespace SerialDevices {

// The ports the system reports, with their descriptions, in the order COM
// numbers are given out (one look at the system).
QList<SerialDevice> system();
// What the port dialog lists: those, and the devices the ports file names
// that are there.
QList<SerialDevice> present(const PortsFile& ports, const QList<SerialDevice>& system);
QList<SerialDevice> present(const QString& portsFile);
// The paths of devices.
QStringList pathsOf(const QList<SerialDevice>& devices);

// Writes the line "COMn=device" into the ports file; the other lines stay.
// False when the file cannot be written.
bool assign(int portNumber, const QString& device, const QString& portsFile);

} // namespace SerialDevices
