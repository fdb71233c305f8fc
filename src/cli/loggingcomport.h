#pragma once

#include "link/comport.h"

class FrameLog;

// The port as the link sees it, with every byte written or read put into the
// frame log on its way. Everything else is the real port's.
class LoggingComPort : public ComPort {
    Q_OBJECT
public:
    LoggingComPort(ComPort& port, FrameLog* log, QString label, QObject* parent = nullptr);

    void Open() override { port.Open(); }
    void Close() override { port.Close(); }
    bool Active() const override { return port.Active(); }
    int PortNum() const override { return port.PortNum(); }
    void setPortNum(int number) override { port.setPortNum(number); }
    int WriteBuf(const char* data, int count) override;
    int WriteBufUsed() const override { return port.WriteBufUsed(); }
    int ReadBufUsed() const override { return port.ReadBufUsed(); }
    int ReadBuf(char* buffer, int count) override;
    void PurgeRead() override { port.PurgeRead(); }

    // Bytes handed over in each direction since the port was opened, and
    // when the last reply bytes came (for the lane's silence watch).
    qint64 bytesRead() const { return read; }

private:
    ComPort& port;
    FrameLog* log;
    QString label;
    qint64 read = 0;
};
