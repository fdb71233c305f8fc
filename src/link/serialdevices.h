#pragma once

#include <QList>
#include <QString>

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

QList<SerialDevice> present(const QString& portsFile);

// Writes the line "COMn=device" into the ports file; the other lines stay.
// False when the file cannot be written.
bool assign(int portNumber, const QString& device, const QString& portsFile);

} // namespace SerialDevices
