#include "csvlog.h"

#include <QFile>

QStringList CsvLog::header() {
    return {QStringLiteral("time"), QStringLiteral("port"), QStringLiteral("chip"),
            QStringLiteral("result"), QStringLiteral("seconds")};
}

QString CsvLog::field(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool CsvLog::append(const QStringList& fields, QString& error) {
    QFile file(path);
    const bool fresh = !file.exists() || file.size() == 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        error =
            QStringLiteral("Cannot write the production log %1: %2").arg(path, file.errorString());
        return false;
    }
    QStringList lines;
    if (fresh)
        lines << header().join(QLatin1Char(','));
    QStringList quoted;
    for (const QString& f : fields)
        quoted << field(f);
    lines << quoted.join(QLatin1Char(','));
    const QByteArray bytes = (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        error =
            QStringLiteral("Cannot write the production log %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}
