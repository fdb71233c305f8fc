#include "loggingcomport.h"

#include "framelog.h"

LoggingComPort::LoggingComPort(ComPort& port_, FrameLog* log_, QString label_, QObject* parent)
    : ComPort(parent), port(port_), log(log_), label(std::move(label_)) {
    connect(&port, &ComPort::OnRxChar, this, &ComPort::OnRxChar);
    connect(&port, &ComPort::OnError, this, &ComPort::OnError);
    connect(&port, &ComPort::activeChanged, this, &ComPort::activeChanged);
    connect(&port, &ComPort::vanished, this, &ComPort::vanished);
}

int LoggingComPort::WriteBuf(const char* data, int count) {
    const int written = port.WriteBuf(data, count);
    if (log != nullptr && written > 0)
        log->sent(label, QByteArray(data, written));
    return written;
}

int LoggingComPort::ReadBuf(char* buffer, int count) {
    const int got = port.ReadBuf(buffer, count);
    if (got > 0) {
        read += got;
        if (log != nullptr)
            log->received(label, QByteArray(buffer, got));
    }
    return got;
}
