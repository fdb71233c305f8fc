#include "serialcomport.h"

#include "portresolver.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QThread>

namespace {
const QString openNow = QStringLiteral("Can't perform this operation while port is open");

QString permissionRemedy(const QString& device) {
    const QString group = QFileInfo(device).group();
    const QString name = group.isEmpty() ? QStringLiteral("dialout") : group;
    return QStringLiteral("Permission to use %1 was denied. Add your user to the group that owns "
                          "it (%2): sudo usermod -aG %2 $USER, then log out and in again.")
        .arg(device, name);
}
} // namespace

SerialComPort::SerialComPort(QObject* parent) : ComPort(parent) {
    // Qt reads ahead of the program without a limit; with one it leaves the
    // rest to the driver, whose queue is bounded too. A line that babbles
    // while a message box holds the deliveries up costs no memory.
    port.setReadBufferSize(ReadSize);
    connect(&port, &QSerialPort::readyRead, this, &SerialComPort::readyRead);
    connect(&port, &QSerialPort::errorOccurred, this, &SerialComPort::serialError);
}

SerialComPort::~SerialComPort() {
    // No signal may reach a half-destroyed window.
    port.disconnect(this);
    if (port.isOpen())
        port.close();
}

QString SerialComPort::deviceFor(int portNumber) {
    return PortResolver::resolve(portNumber).device;
}

void SerialComPort::Open() {
    if (port.isOpen())
        throw ComPortError(openNow);
    device = fixedDevice.isEmpty() ? deviceFor(portNum) : fixedDevice;
    if (device.isEmpty())
        throw ComPortError(QStringLiteral("No serial device for COM%1").arg(portNum));
    port.setPortName(device);
    port.setBaudRate(Baudrate);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    // QSerialPort takes the device exclusively: a lock file, and TIOCEXCL on
    // Unix, so a second program cannot open it while we hold it.
    if (!port.open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError error = port.error();
        const QString text = port.errorString();
        port.clearError();
        if (error == QSerialPort::PermissionError && QFileInfo::exists(device))
            throw ComPortError(text, permissionRemedy(device));
        throw ComPortError(QStringLiteral("%1: %2").arg(device, text));
    }
    // A pseudo-terminal has no modem lines and refuses these; real adapters
    // take them. Neither is a reason to refuse the port.
    port.setDataTerminalReady(false);
    port.setRequestToSend(false);
    port.clearError();
    closingForError = false;
    opened = true;
    delivering = false;
    deliveryQueued = false;
    SerialDriver::readCounters(port.handle(), counters);
    emit activeChanged(true);
}

void SerialComPort::Close() {
    opened = false;
    if (!port.isOpen())
        return;
    port.close();
    port.clearError();
    emit activeChanged(false);
}

bool SerialComPort::Active() const {
    return port.isOpen();
}

void SerialComPort::setPortNum(int number) {
    if (port.isOpen())
        throw ComPortError(openNow);
    portNum = number;
}

int SerialComPort::WriteBuf(const char* data, int count) {
    if (!port.isOpen() || count <= 0)
        return 0;
    if (WriteBufUsed() + count > WriteSize) {
        // Give the line up to a second to take what is queued.
        const QDeadlineTimer deadline(WriteTimeoutMs);
        while (port.isOpen() && WriteBufUsed() + count > WriteSize && !deadline.hasExpired()) {
            if (port.bytesToWrite() > 0)
                port.waitForBytesWritten(10);
            else
                QThread::msleep(2);
        }
        if (!port.isOpen())
            return 0;
        if (WriteBufUsed() + count > WriteSize)
            throw ComPortError(QStringLiteral("Output buffer is full. Please check comm status."));
    }
    port.write(data, count);
    // Out now, not at the next turn of the event loop.
    port.flush();
    noteSent(data, count);
    return count;
}

int SerialComPort::WriteBufUsed() const {
    if (!port.isOpen())
        return 0;
    return int(port.bytesToWrite()) + SerialDriver::outputQueued(port.handle());
}

int SerialComPort::ReadBufUsed() const {
    return port.isOpen() ? int(port.bytesAvailable()) : 0;
}

int SerialComPort::ReadBuf(char* buffer, int count) {
    if (!port.isOpen() || count <= 0)
        return 0;
    const qint64 n = port.read(buffer, count);
    if (n <= 0)
        return 0;
    consumedInDelivery += n;
    noteReceived(buffer, int(n));
    return int(n);
}

void SerialComPort::PurgeRead() {
    if (!port.isOpen())
        return;
    consumedInDelivery += port.bytesAvailable();
    if (trafficObserver() != nullptr) {
        // What is thrown away is shown too: it came over the line.
        const QByteArray dropped = port.readAll();
        noteReceived(dropped.constData(), int(dropped.size()), true);
    }
    port.clear(QSerialPort::Input);
    // Qt's own buffer may hold bytes the driver no longer does.
    port.readAll();
    emit inputPurged();
}

void SerialComPort::readyRead() {
    if (delivering) {
        deliveryQueued = true;
        return;
    }
    deliver();
}

void SerialComPort::deliver() {
    if (!port.isOpen())
        return;
    const qint64 waiting = port.bytesAvailable();
    if (waiting > 0) {
        delivering = true;
        consumedInDelivery = 0;
        emit OnRxChar(int(waiting));
        delivering = false;
        // QSerialPort does not signal again for bytes that came while the
        // handler ran (a message box's own event loop): look for them.
        if (port.isOpen() && port.bytesAvailable() > waiting - consumedInDelivery)
            deliveryQueued = true;
    }
    checkLineErrors();
    if (deliveryQueued) {
        deliveryQueued = false;
        QMetaObject::invokeMethod(this, &SerialComPort::deliver, Qt::QueuedConnection);
    }
}

void SerialComPort::checkLineErrors() {
    if (!port.isOpen() || !counters.valid)
        return;
    SerialDriver::ErrorCounters now;
    if (!SerialDriver::readCounters(port.handle(), now))
        return;
    const int flags = SerialDriver::flagsBetween(counters, now);
    counters = now;
    if (flags != 0)
        emit OnError(flags);
}

void SerialComPort::serialError(QSerialPort::SerialPortError error) {
    if (!opened)
        return;
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError)
        return;
    // The device went away (adapter unplugged, the other end ended). Qt
    // would repeat the error without end while the port stays open: close it
    // once, after this signal has returned.
    if (closingForError)
        return;
    closingForError = true;
    QMetaObject::invokeMethod(this, &SerialComPort::deviceGone, Qt::QueuedConnection);
}

void SerialComPort::deviceGone() {
    if (!opened)
        return;
    opened = false;
    const QString reason = port.errorString();
    if (port.isOpen())
        port.close();
    port.clearError();
    emit activeChanged(false);
    emit vanished(reason);
}
