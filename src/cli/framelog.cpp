#include "framelog.h"

namespace {
constexpr int FrameSize = 20;

QString hex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}
} // namespace

bool FrameLog::open(const QString& path, QString& error) {
    file.setFileName(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        error = QStringLiteral("Cannot write the log %1: %2").arg(path, file.errorString());
        return false;
    }
    clock.start();
    return true;
}

void FrameLog::write(const QString& port, const QString& text) {
    if (!file.isOpen())
        return;
    const QString line = QStringLiteral("%1 %2 %3\n").arg(seconds(), 9, 'f', 3).arg(port, text);
    file.write(line.toUtf8());
    file.flush();
}

void FrameLog::sent(const QString& port, const QByteArray& bytes) {
    for (int at = 0; at < bytes.size(); at += FrameSize) {
        const QByteArray frame = bytes.mid(at, FrameSize);
        write(port, QStringLiteral("out %1 | %2").arg(hex(frame), decodeCommand(frame)));
    }
}

void FrameLog::received(const QString& port, const QByteArray& bytes) {
    // A reply is logged as the reading found it: noise and pieces included.
    const QString decoded = bytes.size() >= FrameSize ? decodeReply(bytes) : QString();
    write(port, decoded.isEmpty() ? QStringLiteral("in  %1").arg(hex(bytes))
                                  : QStringLiteral("in  %1 | %2").arg(hex(bytes), decoded));
}

void FrameLog::note(const QString& port, const QString& text) {
    write(port, QStringLiteral("# ") + text);
}

QString FrameLog::decodeCommand(const QByteArray& frame) {
    if (frame.size() < FrameSize)
        return QStringLiteral("(part of a frame)");
    static const char* const names[] = {"?",         "Play",    "Record",   "Stop",
                                        "Scan",      "SetChip", "Continue", "PowerUp",
                                        "PowerDown", "?",       "Erase"};
    const int code = quint8(frame[0]);
    const QString name = QString::fromLatin1(code <= 10 ? names[code] : "?");
    const int start = (quint8(frame[1]) << 8) | quint8(frame[2]);
    if (code == 1 || code == 2 || code == 4)
        return QStringLiteral("%1 %2").arg(name).arg(start, 5, 10, QLatin1Char('0'));
    return name;
}

QString FrameLog::decodeReply(const QByteArray& frame) {
    const QByteArray digits = frame.mid(1, 5);
    for (char c : digits) {
        if (c < '0' || c > '9')
            return QString();
    }
    return QString(QLatin1Char(frame[0])) + QLatin1Char(' ') + QString::fromLatin1(digits);
}
