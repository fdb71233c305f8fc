#pragma once

#include <QString>
#include <QStringList>

// The production log of a --repeat run: one line per chip with the time, the
// port, the chip's number in this run, the result and how long it took, in
// a CSV file that spreadsheets read. A new file starts with a header line;
// an existing one is added to.
class CsvLog {
public:
    explicit CsvLog(QString path) : path(std::move(path)) {}

    static QStringList header();
    // False, with the reason, when the line could not be written.
    bool append(const QStringList& fields, QString& error);
    QString fileName() const { return path; }

    static QString field(const QString& text);

private:
    QString path;
};
