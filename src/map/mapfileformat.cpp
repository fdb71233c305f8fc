#include "mapfileformat.h"

#include "core/localtext.h"

namespace MapFileFormat {

QByteArray formatLine(const Record& record) {
    QByteArray line;
    for (const QString& field : record) {
        line += LocalText::encode(field);
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
        field = LocalText::decode(QByteArrayView(line).sliced(from, end - from));
        from = end + 1;
    }
    return record;
}

} // namespace MapFileFormat
