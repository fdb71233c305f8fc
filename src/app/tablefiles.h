#pragma once

#include "files/tablescontext.h"

#include <QObject>
#include <QStringList>
#include <functional>

// Bringing files into the tables without the file dialogs (a drop, a recent
// list), as the table commands would: wire_files.cpp fills it in, and it
// tells when a table was loaded from a file or saved to one.
class TableFiles : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Open Table / Open Memory Map with this file.
    std::function<void(const QString&)> openList;
    std::function<void(const QString&)> openMap;
    // Add file with these files, in this order.
    std::function<void(const QStringList&)> addSounds;

signals:
    void kept(TablesContext::Table table, const QString& file);
};
