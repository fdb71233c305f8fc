#include "mapfileformat.h"

namespace MapFileFormat {

QByteArray formatLine(const Record& record) {
    QByteArray line;
    for (const QString& field : record) {
        line += field.toLocal8Bit();
        line += ';';
    }
    line += "\r\n";
    return line;
}

Record parseLine(const QByteArray& line) {
    Record record;
    qsizetype from = 0;
    for (QString& field : record) {
        if (from > line.size())
            break;
        qsizetype end = line.indexOf(';', from);
        if (end < 0)
            end = line.size();
        field = QString::fromLocal8Bit(line.constData() + from, end - from);
        from = end + 1;
    }
    return record;
}

} // namespace MapFileFormat
