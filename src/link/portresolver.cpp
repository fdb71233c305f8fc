#include "portresolver.h"

#include <QSerialPortInfo>
#include <algorithm>
#include <utility>

namespace PortResolver {

QString fromPortsFile(int portNumber, const QString& portsFile) {
    return PortsFile::read(portsFile).deviceFor(portNumber);
}

QStringList orderForNumbering(QStringList devices) {
    const auto adapter = [](const QString& device) {
        return device.contains(QLatin1String("ttyUSB")) || device.contains(QLatin1String("ttyACM"));
    };
    // Natural order by the trailing number: the system's collation may not
    // know numeric ordering.
    const auto split = [](const QString& device) {
        qsizetype digits = device.size();
        while (digits > 0 && device.at(digits - 1).isDigit())
            --digits;
        return std::make_pair(device.left(digits), device.mid(digits).toLongLong());
    };
    std::stable_sort(devices.begin(), devices.end(), [&](const QString& a, const QString& b) {
        if (adapter(a) != adapter(b))
            return adapter(a);
        return split(a) < split(b);
    });
    return devices;
}

QStringList systemPorts() {
    QStringList devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices << info.systemLocation();
    return orderForNumbering(devices);
}

Resolution resolve(int portNumber, const PortsFile& ports, const QStringList& system) {
    Resolution result;
    if (portNumber < 1)
        return result;
    result.device = ports.deviceFor(portNumber);
    if (!result.device.isEmpty()) {
        result.fromPortsFile = true;
        return result;
    }
#ifdef Q_OS_WIN
    Q_UNUSED(system);
    result.device = QStringLiteral("COM%1").arg(portNumber);
#else
    if (portNumber <= system.size())
        result.device = system.at(portNumber - 1);
#endif
    return result;
}

Resolution resolve(int portNumber, const QString& portsFile) {
    if (portNumber < 1)
        return Resolution();
    const PortsFile ports = PortsFile::read(portsFile);
#ifdef Q_OS_WIN
    return resolve(portNumber, ports, QStringList());
#else
    // The system is asked only when the ports file does not say.
    if (!ports.deviceFor(portNumber).isEmpty())
        return resolve(portNumber, ports, QStringList());
    return resolve(portNumber, ports, systemPorts());
#endif
}

namespace {
QString described(const Resolution& r) {
    return r.device.isEmpty() ? QStringLiteral("(no device)") : r.device;
}
} // namespace

QString describe(int portNumber, const PortsFile& ports, const QStringList& system) {
    return described(resolve(portNumber, ports, system));
}

QString describe(int portNumber, const QString& portsFile) {
    return described(resolve(portNumber, portsFile));
}

} // namespace PortResolver
