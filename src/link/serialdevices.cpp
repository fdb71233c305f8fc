#include "serialdevices.h"

#include "portresolver.h"

#include "core/filesaver.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>

QString SerialDevice::label() const {
    return description.isEmpty() ? path : path + QStringLiteral(" \u2014 ") + description;
}

namespace SerialDevices {

QList<SerialDevice> system() {
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    QStringList paths;
    for (const QSerialPortInfo& info : infos)
        paths << info.systemLocation();
    QList<SerialDevice> devices;
    for (const QString& path : PortResolver::orderForNumbering(paths)) {
        QString description;
        for (const QSerialPortInfo& info : infos) {
            if (info.systemLocation() == path)
                description = info.description();
        }
        devices.append({path, description});
    }
    return devices;
}

QStringList pathsOf(const QList<SerialDevice>& devices) {
    QStringList paths;
    for (const SerialDevice& device : devices)
        paths << device.path;
    return paths;
}

QList<SerialDevice> present(const PortsFile& ports, const QList<SerialDevice>& system) {
    QList<SerialDevice> devices = system;
    QStringList seen = pathsOf(system);
    // A device named in the ports file shows up only while it is there.
    for (auto entry = ports.entries().cbegin(); entry != ports.entries().cend(); ++entry) {
        const QString& path = entry.value();
        if (entry.key() > 99 || path.isEmpty() || seen.contains(path) || !QFileInfo::exists(path))
            continue;
        devices.append({path, QStringLiteral("COM%1 in %2")
                                  .arg(entry.key())
                                  .arg(QFileInfo(ports.path()).fileName())});
        seen << path;
    }
    return devices;
}

QList<SerialDevice> present(const QString& portsFile) {
    return present(PortsFile::read(portsFile), system());
}

bool assign(int portNumber, const QString& device, const QString& portsFile) {
    QStringList lines;
    QFile in(portsFile);
    if (in.open(QIODevice::ReadOnly | QIODevice::Text))
        lines = QString::fromUtf8(in.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    in.close();
    const QRegularExpression ours(QStringLiteral("^\\s*COM%1\\s*=").arg(portNumber),
                                  QRegularExpression::CaseInsensitiveOption);
    lines.removeIf([&ours](const QString& line) { return ours.match(line).hasMatch(); });
    lines.append(QStringLiteral("COM%1=%2").arg(portNumber).arg(device));
    return FileSaver::write(portsFile, lines.join(QLatin1Char('\n')).toUtf8() + '\n').isEmpty();
}

} // namespace SerialDevices
