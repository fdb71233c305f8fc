#include "portresolver.h"

#include <QFile>
#include <QSerialPortInfo>
#include <algorithm>
#include <utility>

namespace PortResolver {

QString fromPortsFile(int portNumber, const QString& portsFile) {
    QFile map(portsFile);
    if (!map.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    const QString key = QStringLiteral("COM%1").arg(portNumber);
    while (!map.atEnd()) {
        const QString line = QString::fromLocal8Bit(map.readLine()).trimmed();
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0 || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return line.mid(eq + 1).trimmed();
    }
    return QString();
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

Resolution resolve(int portNumber, const QString& portsFile) {
    Resolution result;
    if (portNumber < 1)
        return result;
    result.device = fromPortsFile(portNumber, portsFile);
    if (!result.device.isEmpty()) {
        result.fromPortsFile = true;
        return result;
    }
#ifdef Q_OS_WIN
    result.device = QStringLiteral("COM%1").arg(portNumber);
#else
    const QStringList ports = systemPorts();
    if (portNumber <= ports.size())
        result.device = ports.at(portNumber - 1);
#endif
    return result;
}

QString describe(int portNumber, const QString& portsFile) {
    const Resolution r = resolve(portNumber, portsFile);
    if (r.device.isEmpty())
        return QStringLiteral("(no device)");
    return r.device;
}

} // namespace PortResolver
