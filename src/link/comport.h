#pragma once

#include <QByteArray>
#include <QObject>

// Sees the bytes that go over the line, for a log of them. Called on the
// thread the port lives on, right after the bytes went out or were taken in.
class TrafficObserver {
public:
    virtual ~TrafficObserver();
    virtual void sent(const QByteArray& bytes) = 0;
    // Bytes the program read, and (`discarded`) bytes it threw away unread.
    virtual void received(const QByteArray& bytes, bool discarded) = 0;
};

// The serial port component as the program uses it. SerialComPort is the real
// one; the logic tests put a fake in its place.
class ComPort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~ComPort() override;

    // At most one observer; null (the usual case) costs one test per call.
    void setTrafficObserver(TrafficObserver* observer) { traffic = observer; }
    TrafficObserver* trafficObserver() const { return traffic; }

    // Opens and sets up port PortNum(); raises ComPortError when the port is
    // already open or the device cannot be opened or set up.
    virtual void Open() = 0;
    virtual void Close() = 0;
    virtual bool Active() const = 0;

    virtual int PortNum() const = 0;
    // Only while closed; raises "Can't perform this operation while port is open".
    virtual void setPortNum(int number) = 0;

    // Closed port: takes nothing and raises nothing. Open: queues all bytes.
    virtual int WriteBuf(const char* data, int count) = 0;
    // Bytes given to WriteBuf whose writing has not completed; 0 when closed.
    virtual int WriteBufUsed() const = 0;
    // Bytes waiting to be read; 0 when closed.
    virtual int ReadBufUsed() const = 0;
    virtual int ReadBuf(char* buffer, int count) = 0;
    // Discards waiting input, then emits inputPurged.
    virtual void PurgeRead() = 0;

protected:
    void noteSent(const char* data, int count) {
        if (traffic != nullptr && count > 0)
            traffic->sent(QByteArray(data, count));
    }
    void noteReceived(const char* data, int count, bool discarded = false) {
        if (traffic != nullptr && count > 0)
            traffic->received(QByteArray(data, count), discarded);
    }

signals:
    void OnRxChar(int count);
    void OnError(int errors);
    // PurgeRead discarded the waiting input: whatever of a reply had come
    // before it will not be finished.
    void inputPurged();
    // The port was opened or closed, by the user or because the device went.
    void activeChanged(bool active);
    // The device went away while open; the port has been closed.
    void vanished(const QString& reason);

private:
    TrafficObserver* traffic = nullptr;
};
