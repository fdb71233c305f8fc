#pragma once

#include "link/comport.h"

#include <QByteArray>
#include <QList>

// A serial port that keeps what is written and hands out what a test feeds.
class FakeComPort : public ComPort {
    Q_OBJECT
public:
    using ComPort::ComPort;

    void Open() override;
    void Close() override;
    bool Active() const override { return open; }
    int PortNum() const override { return portNum; }
    void setPortNum(int number) override;
    int WriteBuf(const char* data, int count) override;
    int WriteBufUsed() const override { return open ? pendingOutput : 0; }
    int ReadBufUsed() const override { return open ? int(input.size()) : 0; }
    int ReadBuf(char* buffer, int count) override;
    void PurgeRead() override;

    // Bytes arrive from the programmer: queued, then one OnRxChar.
    void feed(const QByteArray& bytes);
    // Bytes arrive while deliveries are held up: queued without OnRxChar.
    void queue(const QByteArray& bytes);
    // The device goes away while open: closed, then told once.
    void vanish(const QString& reason = QStringLiteral("device removed"));

    // Every WriteBuf call on an open port, one entry a call.
    QList<QByteArray> written;
    // Opening fails while set (device missing or held elsewhere).
    bool refuseOpen = false;
    // What the refusal tells the user beside the program's message.
    QString refuseDetail;
    // What WriteBufUsed reports while the port is open.
    int pendingOutput = 0;
    int openCount = 0;

private:
    bool open = false;
    int portNum = 1;
    QByteArray input;
};

// A reply frame from the programmer: the reply code, the address in five
// decimal digits, the power digit, and padding to 20 bytes.
QByteArray replyFrame(char code, int address = 0, char power = '0');
