#include "configfile.h"

#include <QFile>
#include <QSaveFile>

namespace ConfigFile {

std::optional<QStringList> readLines(int count, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QStringList lines;
    while (lines.size() < count && !file.atEnd()) {
        QByteArray line = file.readLine();
        if (line.endsWith('\n'))
            line.chop(1);
        if (line.endsWith('\r'))
            line.chop(1);
        lines.append(QString::fromLocal8Bit(line));
    }
    return lines;
}

std::optional<int> parseDecimal(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

bool writeLines(const QStringList& lines, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const QString& line : lines) {
        file.write(line.toLocal8Bit());
        file.write("\r\n", 2);
    }
    return file.commit();
}

} // namespace ConfigFile
