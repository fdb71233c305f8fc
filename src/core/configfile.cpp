#include "configfile.h"

#include "filesaver.h"
#include "localtext.h"

#include <QFile>

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
        lines.append(LocalText::decode(line));
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

QString writeLines(const QStringList& lines, const QString& path) {
    QByteArray contents;
    for (const QString& line : lines) {
        contents += LocalText::encode(line);
        contents += "\r\n";
    }
    return FileSaver::write(path, contents);
}

} // namespace ConfigFile
