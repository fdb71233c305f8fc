#pragma once

#include "portsfile.h"

#include <QString>
#include <QStringList>

// Which device a port number "COMn" stands for. Where devices carry such
// names (Windows) it is the name itself. Elsewhere a line "COM1=/dev/ttyUSB0"
// in "isdvokar.ports" in the working folder says it; a number without a line
// there is the n-th serial port the system reports, USB and ACM adapters
// first, so that a single plugged-in programmer is COM1.
namespace PortResolver {

inline QString defaultPortsFile() {
    return QStringLiteral("isdvokar.ports");
}

struct Resolution {
    QString device; // empty: no device for this number
    bool fromPortsFile = false;
};

Resolution resolve(int portNumber, const QString& portsFile = defaultPortsFile());
// The same with the ports file and the system's ports looked at already, for
// callers that resolve several numbers at once.
Resolution resolve(int portNumber, const PortsFile& ports, const QStringList& system);

// The line from the ports file for this number, if there is one.
QString fromPortsFile(int portNumber, const QString& portsFile = defaultPortsFile());

// The system's serial ports in the order COM numbers are given out.
QStringList systemPorts();
// Orders device paths: USB and ACM adapters first, then the others, each
// group in natural order (ttyUSB2 before ttyUSB10).
QStringList orderForNumbering(QStringList devices);

// What the port dialog shows beside "Serial Port COMn".
QString describe(int portNumber, const QString& portsFile = defaultPortsFile());
QString describe(int portNumber, const PortsFile& ports, const QStringList& system);

} // namespace PortResolver
