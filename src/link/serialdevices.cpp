#include "serialdevices.h"

#include "portresolver.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSerialPortInfo>

QString SerialDevice::label() const {
    return description.isEmpty() ? path : path + QStringLiteral(" \u2014 ") + description;
}

namespace SerialDevices {

QList<SerialDevice> present(const QString& portsFile) {
    QList<SerialDevice> devices;
    QStringList seen;
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    for (const QString& path : PortResolver::systemPorts()) {
        QString description;
        for (const QSerialPortInfo& info : infos) {
            if (info.systemLocation() == path)
                description = info.description();
        }
        devices.append({path, description});
        seen << path;
    }
    // A device named in the ports file shows up only while it is there.
    for (int number = 1; number <= 99; ++number) {
        const QString path = PortResolver::fromPortsFile(number, portsFile);
        if (path.isEmpty() || seen.contains(path) || !QFileInfo::exists(path))
            continue;
        devices.append(
            {path, QStringLiteral("COM%1 in %2").arg(number).arg(QFileInfo(portsFile).fileName())});
        seen << path;
    }
    return devices;
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
    QSaveFile out(portsFile);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    out.write(lines.join(QLatin1Char('\n')).toUtf8() + '\n');
    return out.commit();
}

} // namespace SerialDevices
