#pragma once

#include <QFile>
#include <QtGlobal>
#include <unistd.h>

// The bytes of this process that are in memory now (Linux: /proc/self/statm),
// 0 where that cannot be read.
inline qint64 residentBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * qint64(::sysconf(_SC_PAGESIZE)) : 0;
}
