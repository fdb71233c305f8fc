#pragma once

#include "core/apperror.h"
#include "customcomport.h"

#include <QSerialPort>

class EComPortError : public AppError {
public:
    using AppError::AppError;
};

// The real serial port: 57600 baud, 8N1, no flow control, DTR and RTS held
// inactive, opened exclusively.
class TComPort : public TCustomComPort {
    Q_OBJECT
public:
    explicit TComPort(QObject* parent = nullptr);
    ~TComPort() override;

    void Open() override;
    void Close() override;
    bool Active() const override;
    int PortNum() const override { return portNum; }
    void setPortNum(int number) override;
    int WriteBuf(const char* data, int count) override;
    int WriteBufUsed() const override;
    int ReadBufUsed() const override;
    int ReadBuf(char* buffer, int count) override;
    void PurgeRead() override;

    // The device that "COM<n>" stands for on this system; empty when none.
    static QString deviceFor(int portNumber);

private:
    void deliver();

    QSerialPort port;
    int portNum = 1;
};
