#pragma once

#include "comport.h"
#include "core/apperror.h"
#include "serialdriver.h"

#include <QSerialPort>

// A port that cannot be opened or set up. `detail` is what the user is told
// beside the program's own message: the reason and the remedy, where there
// is one the user can apply (no permission for the device).
class ComPortError : public AppError {
public:
    explicit ComPortError(const QString& message, const QString& detail_ = QString())
        : AppError(message), detail(detail_) {}
    QString detail;
};

// The real serial port: 57600 baud, 8N1, no flow control, DTR and RTS held
// inactive, opened exclusively.
class SerialComPort : public ComPort {
    Q_OBJECT
public:
    static constexpr int Baudrate = 57600;
    static constexpr int WriteSize = 1024;
    static constexpr int WriteTimeoutMs = 1000;
    // The most bytes Qt keeps read ahead of the program.
    static constexpr int ReadSize = 4096;

    explicit SerialComPort(QObject* parent = nullptr);
    ~SerialComPort() override;

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
    // The device the port was opened on (or last tried).
    QString deviceName() const { return device; }
    // Opens this device instead of the one "COM<n>" stands for (the
    // command-line program names devices by path); empty: by the number.
    void setDevice(const QString& path) { fixedDevice = path; }

private:
    void readyRead();
    void deliver();
    void checkLineErrors();
    void serialError(QSerialPort::SerialPortError error);
    void deviceGone();

    QSerialPort port;
    QString device;
    QString fixedDevice;
    int portNum = 1;
    SerialDriver::ErrorCounters counters;
    // One delivery at a time: while OnRxChar runs (perhaps with a message
    // box open), arriving bytes are noted and delivered after it returns.
    bool delivering = false;
    bool deliveryQueued = false;
    qint64 consumedInDelivery = 0;
    bool closingForError = false;
    // Open as far as the program knows; Qt may close a device that failed.
    bool opened = false;
};
