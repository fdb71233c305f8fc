#include "filelistformat.h"

#include "core/localtext.h"

namespace FileListFormat {

QByteArray formatLine(const Entry& entry) {
    QByteArray line;
    for (const QString* field : {&entry.start, &entry.stop, &entry.file}) {
        line += LocalText::encode(*field);
        line += ';';
    }
    line += "\r\n";
    return line;
}

std::optional<Entry> parseLine(const QByteArray& line) {
    QString fields[3];
    qsizetype from = 0;
    for (QString& field : fields) {
        const qsizetype end = line.indexOf(';', from);
        if (end < 0)
            return std::nullopt;
        field = LocalText::decode(QByteArrayView(line).sliced(from, end - from));
        from = end + 1;
    }
    return Entry{fields[0], fields[1], fields[2]};
}

bool storable(const QString& fileName) {
    return !fileName.contains(u';') && !fileName.contains(u'\r') && !fileName.contains(u'\n');
}

} // namespace FileListFormat
