#include "fakecomport.h"

#include "link/serialcomport.h"

#include <cstring>

void FakeComPort::Open() {
    if (open)
        throw ComPortError(QStringLiteral("Can't perform this operation while port is open"));
    if (refuseOpen || portNum < 1)
        throw ComPortError(QStringLiteral("Port COM%1 not available").arg(portNum), refuseDetail);
    open = true;
    ++openCount;
    emit activeChanged(true);
}

void FakeComPort::Close() {
    if (!open)
        return;
    open = false;
    emit activeChanged(false);
}

void FakeComPort::setPortNum(int number) {
    if (open)
        throw ComPortError(QStringLiteral("Can't perform this operation while port is open"));
    portNum = number;
}

int FakeComPort::WriteBuf(const char* data, int count) {
    if (!open)
        return 0;
    written.append(QByteArray(data, count));
    noteSent(data, count);
    return count;
}

int FakeComPort::ReadBuf(char* buffer, int count) {
    if (!open)
        return 0;
    const int n = qMin(count, int(input.size()));
    std::memcpy(buffer, input.constData(), size_t(n));
    input.remove(0, n);
    noteReceived(buffer, n);
    return n;
}

void FakeComPort::PurgeRead() {
    // What is thrown away came over the line: the serial log shows it.
    noteReceived(input.constData(), int(input.size()), true);
    input.clear();
    emit inputPurged();
}

void FakeComPort::feed(const QByteArray& bytes) {
    input.append(bytes);
    if (open && !input.isEmpty())
        emit OnRxChar(int(input.size()));
}

void FakeComPort::queue(const QByteArray& bytes) {
    input.append(bytes);
}

void FakeComPort::vanish(const QString& reason) {
    if (!open)
        return;
    open = false;
    input.clear();
    emit activeChanged(false);
    emit vanished(reason);
}

QByteArray replyFrame(char code, int address, char power) {
    QByteArray bytes(1, code);
    bytes += QByteArray::number(address).rightJustified(5, '0');
    bytes += power;
    bytes += QByteArray(13, '\xFF');
    return bytes;
}
