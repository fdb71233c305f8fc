#include "portsfile.h"

#include <QFile>

namespace {

// The number of a name "COMn" written as "COM%1" writes it, any case.
int numberOf(QByteArrayView name) {
    if (name.size() < 4 || qstrnicmp(name.data(), 3, "COM", 3) != 0)
        return 0;
    const QByteArrayView digits = name.sliced(3);
    if (digits.startsWith('0'))
        return 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return 0;
    }
    bool ok = false;
    const int number = digits.toInt(&ok);
    return ok ? number : 0;
}

} // namespace

PortsFile PortsFile::read(const QString& path) {
    PortsFile ports;
    ports.from = path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ports;
    // Read in large pieces and looked at in place: only the lines that name
    // a port become strings.
    QByteArray text;
    for (;;) {
        const QByteArray piece = file.read(1 << 20);
        if (piece.isEmpty())
            break;
        text += piece;
        qsizetype from = 0;
        for (qsizetype end; (end = text.indexOf('\n', from)) >= 0; from = end + 1)
            ports.take(QByteArrayView(text).sliced(from, end - from));
        text.remove(0, from);
    }
    ports.take(text);
    return ports;
}

PortsFile PortsFile::parse(const QByteArray& bytes) {
    PortsFile ports;
    qsizetype from = 0;
    for (qsizetype end; (end = bytes.indexOf('\n', from)) >= 0; from = end + 1)
        ports.take(QByteArrayView(bytes).sliced(from, end - from));
    ports.take(QByteArrayView(bytes).sliced(from));
    return ports;
}

void PortsFile::take(QByteArrayView raw) {
    const QByteArrayView line = raw.trimmed();
    // Only "COMn=..." names a port; comments and anything else are passed over.
    if (line.isEmpty() || (line.front() != 'C' && line.front() != 'c'))
        return;
    const qsizetype eq = line.indexOf('=');
    if (eq <= 0)
        return;
    const int number = numberOf(line.first(eq).trimmed());
    if (number == 0 || devices.contains(number))
        return;
    devices.insert(number, QString::fromLocal8Bit(line.sliced(eq + 1).trimmed()));
}
