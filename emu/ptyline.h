#pragma once

#include <QByteArray>
#include <QString>

// The stand-in's end of a pseudo-terminal. The PC program opens the other
// end as its serial port.
class PtyLine {
public:
    PtyLine() = default;
    ~PtyLine();
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    // Creates the pair in raw mode; false with `error` set when it fails.
    bool create(QString& error);
    // The device path the program opens, e.g. /dev/pts/3.
    QString devicePath() const { return path; }
    int fd() const { return master; }

    // True while someone holds the device open. The master sees POLLHUP
    // while nobody does.
    bool peerOpen() const;
    // Reads what is there; empty when nothing is (or the peer is gone).
    QByteArray readAvailable();
    // Writes all bytes; false when the line refused them.
    bool write(const QByteArray& bytes);
    // Writes what the line takes at once, without waiting; how many that was.
    int writeSome(const QByteArray& bytes);
    void close();

private:
    int master = -1;
    QString path;
};
