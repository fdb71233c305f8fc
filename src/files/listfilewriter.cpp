#include "listfilewriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QString failure(const QString& fileName, const QString& reason) {
    return QStringLiteral("Cannot save \"%1\": %2").arg(QDir::toNativeSeparators(fileName), reason);
}

// Devices and pipes cannot be replaced by a new file; they are written as
// they are.
QString writeDirect(const QString& fileName, const QByteArray& contents) {
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return failure(fileName, file.errorString());
    if (file.write(contents) != contents.size() || !file.flush())
        return failure(fileName, file.errorString());
    file.close();
    if (file.error() != QFileDevice::NoError)
        return failure(fileName, file.errorString());
    return QString();
}

} // namespace

QString ListFileWriter::write(const QString& fileName, const QByteArray& contents) {
    const QFileInfo target(fileName);
    if (target.exists() && !target.isFile() && !target.isDir())
        return writeDirect(fileName, contents);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return failure(fileName, file.errorString());
    // A short write (a full disk, a size limit) is not always reported as
    // an error, so the new file's size on disk is checked before it may
    // replace the old one.
    const bool written = file.write(contents) == contents.size() && file.flush();
    if (!written || file.size() != contents.size()) {
        const QString reason = file.error() != QFileDevice::NoError
                                   ? file.errorString()
                                   : QStringLiteral("not all of it could be written (disk full?)");
        file.cancelWriting();
        return failure(fileName, reason);
    }
    if (!file.commit())
        return failure(fileName, file.errorString());
    return QString();
}
