#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A scratch folder that is the working folder for the test's lifetime, since
// the program keeps its settings in the working folder; the user's
// configuration folder (XDG_CONFIG_HOME) is its "config" folder meanwhile.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    QString path() const { return dir.path(); }
    QString file(const QString& name) const { return dir.filePath(name); }
    void write(const QString& name, const QByteArray& bytes) const;
    QByteArray read(const QString& name) const;

private:
    QTemporaryDir dir;
    QString previous;
    QByteArray previousConfig;
    bool hadConfig;
};
