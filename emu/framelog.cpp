#include "framelog.h"

#include <QStringList>

namespace FrameLog {

QString hex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QString describeCommand(const QByteArray& frame) {
    if (frame.size() < 20)
        return QStringLiteral("short frame");
    const auto byte = [&](int i) { return int(quint8(frame[i])); };
    const auto address = [&](int high) {
        return QStringLiteral("%1").arg((byte(high) << 8) | byte(high + 1), 5, 10,
                                        QLatin1Char('0'));
    };
    const QString power = QStringLiteral("power %1").arg(byte(7));
    switch (byte(0)) {
    case 1:
        return QStringLiteral("Play start %1 stop %2 %3").arg(address(1), address(5), power);
    case 2:
        return QStringLiteral("Record start %1 stop %2%3 %4")
            .arg(address(1), address(5), byte(4) == 1 ? QStringLiteral(" (given)") : QString(),
                 power);
    case 3:
        return QStringLiteral("Stop ") + power;
    case 4:
        return QStringLiteral("Scan start %1 stop %2 %3").arg(address(1), address(5), power);
    case 5:
        return QStringLiteral("SetChip family %1").arg(byte(3));
    case 6:
        return QStringLiteral("Continue ") + power;
    case 7:
        return QStringLiteral("PowerUp");
    case 8:
        return QStringLiteral("PowerDown");
    case 10:
        return QStringLiteral("Erase");
    default:
        return QStringLiteral("unknown command %1").arg(byte(0));
    }
}

QString describeReply(const QByteArray& frame) {
    if (frame.size() < 7)
        return QStringLiteral("short frame");
    QString text = QString::fromLatin1(frame.left(1)) + QLatin1Char(' ') +
                   QString::fromLatin1(frame.mid(1, 5));
    if (frame[0] == ';')
        text += QStringLiteral(" power ") + QString::fromLatin1(frame.mid(6, 1));
    return text;
}

QString stamp(double realMs) {
    return QStringLiteral("%1").arg(realMs / 1000.0, 9, 'f', 3);
}

QString inLine(double realMs, const QByteArray& frame) {
    return stamp(realMs) + QStringLiteral(" in  ") + hex(frame) + QStringLiteral(" | ") +
           describeCommand(frame);
}

QString outLine(double realMs, const QByteArray& frame) {
    return stamp(realMs) + QStringLiteral(" out ") + hex(frame) + QStringLiteral(" | ") +
           describeReply(frame);
}

QString noiseLine(double realMs, const QByteArray& bytes, const QString& where) {
    return stamp(realMs) + QStringLiteral(" noise ") + hex(bytes) + QStringLiteral(" | ") + where;
}

QString noteLine(double realMs, const QString& text) {
    return stamp(realMs) + QStringLiteral(" # ") + text;
}

} // namespace FrameLog
