#pragma once

#include <QObject>
#include <QStringList>

// The files of one kind (lists or maps) opened or saved lately, newest
// first, at most ten, kept in the user's settings under `key`.
class RecentFiles : public QObject {
    Q_OBJECT
public:
    static constexpr int Limit = 10;

    RecentFiles(const QString& settingsPath, const QString& key, QObject* parent = nullptr);

    QStringList names() const { return files; }
    // Puts a file first; a name that is no file on disk is not kept.
    void add(const QString& name);
    void remove(const QString& name);

signals:
    void changed();

private:
    void store();

    QString settingsPath;
    QString key;
    QStringList files;
};
