#include "comport.h"

#include <QFile>
#include <QSerialPortInfo>

TComPort::TComPort(QObject* parent) : TCustomComPort(parent) {
    connect(&port, &QSerialPort::readyRead, this, &TComPort::deliver);
}

TComPort::~TComPort() { Close(); }

QString TComPort::deviceFor(int portNumber) {
    // "isdvokar.ports" beside the settings file maps COM numbers to devices,
    // one "COM1=/dev/ttyUSB0" a line.
    QFile map(QStringLiteral("isdvokar.ports"));
    const QString key = QStringLiteral("COM%1=").arg(portNumber);
    if (map.open(QIODevice::ReadOnly)) {
        while (!map.atEnd()) {
            const QString line = QString::fromLocal8Bit(map.readLine()).trimmed();
            if (line.startsWith(key, Qt::CaseInsensitive))
                return line.mid(key.size()).trimmed();
        }
    }
    const auto ports = QSerialPortInfo::availablePorts();
    if (portNumber >= 1 && portNumber <= ports.size())
        return ports.at(portNumber - 1).systemLocation();
    return QString();
}

void TComPort::Open() {
    if (port.isOpen())
        throw EComPortError(QStringLiteral("Can't perform this operation while port is open"));
    const QString device = deviceFor(portNum);
    if (device.isEmpty())
        throw EComPortError(QStringLiteral("No device for COM%1").arg(portNum));
    port.setPortName(device);
    port.setBaudRate(57600);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    if (!port.open(QIODevice::ReadWrite))
        throw EComPortError(port.errorString());
    // Fails on a pseudo-terminal; real adapters take it.
    port.setDataTerminalReady(false);
    port.setRequestToSend(false);
    port.clearError();
    emit activeChanged(true);
}

void TComPort::Close() {
    if (!port.isOpen())
        return;
    port.close();
    emit activeChanged(false);
}

bool TComPort::Active() const { return port.isOpen(); }

void TComPort::setPortNum(int number) {
    if (port.isOpen())
        throw EComPortError(QStringLiteral("Can't perform this operation while port is open"));
    portNum = number;
}

int TComPort::WriteBuf(const char* data, int count) {
    if (!port.isOpen())
        return 0;
    port.write(data, count);
    port.flush();
    return count;
}

int TComPort::WriteBufUsed() const {
    return port.isOpen() ? static_cast<int>(port.bytesToWrite()) : 0;
}

int TComPort::ReadBufUsed() const {
    return port.isOpen() ? static_cast<int>(port.bytesAvailable()) : 0;
}

int TComPort::ReadBuf(char* buffer, int count) {
    if (!port.isOpen())
        return 0;
    return static_cast<int>(port.read(buffer, count));
}

void TComPort::PurgeRead() {
    if (port.isOpen()) {
        port.readAll();
        port.clear(QSerialPort::Input);
    }
}

void TComPort::deliver() {
    const int waiting = ReadBufUsed();
    if (waiting > 0)
        emit OnRxChar(waiting);
}
