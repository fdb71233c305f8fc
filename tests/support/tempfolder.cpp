#include "tempfolder.h"

#include <QDir>
#include <QFile>

TempFolder::TempFolder() : previous(QDir::currentPath()) {
    QDir::setCurrent(dir.path());
}

TempFolder::~TempFolder() {
    QDir::setCurrent(previous);
}

void TempFolder::write(const QString& name, const QByteArray& bytes) const {
    QFile out(file(name));
    if (out.open(QIODevice::WriteOnly))
        out.write(bytes);
}

QByteArray TempFolder::read(const QString& name) const {
    QFile in(file(name));
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}
