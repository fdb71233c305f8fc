#include "filesaver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

QString failure(const QString& fileName, const QString& reason) {
    return QStringLiteral("Cannot save \"%1\": %2")
        .arg(QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath()), reason);
}

const QString cutShort = QStringLiteral("not all of it could be written (disk full?)");

// Truncates and writes, as a device takes it.
QString writeDirect(const QString& fileName, const QByteArray& contents) {
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return failure(fileName, file.errorString());
    if (file.write(contents) != contents.size() || !file.flush())
        return failure(fileName,
                       file.error() != QFileDevice::NoError ? file.errorString() : cutShort);
    file.close();
    if (file.error() != QFileDevice::NoError)
        return failure(fileName, file.errorString());
    return QString();
}

#ifdef Q_OS_UNIX
QString systemFailure(const QString& fileName, int error) {
    return failure(fileName, qt_error_string(error));
}

// Writes over the existing file, keeping its inode: its names, owner, group,
// permissions and extended attributes all stay.
QString writeInPlace(const QString& fileName, const QByteArray& contents) {
    const int fd = ::open(QFile::encodeName(fileName).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return systemFailure(fileName, errno);
    const auto fail = [&](int error) {
        ::close(fd);
        return systemFailure(fileName, error);
    };
    struct stat info = {};
    if (::fstat(fd, &info) != 0)
        return fail(errno);
    // Take the room a longer file needs first: a full disk then fails
    // before the old contents are touched.
    if (contents.size() > info.st_size) {
        const int error = ::posix_fallocate(fd, info.st_size, contents.size() - info.st_size);
        if (error != 0 && error != EOPNOTSUPP && error != EINVAL && error != ENODEV)
            return fail(error);
    }
    qsizetype done = 0;
    while (done < contents.size()) {
        const ssize_t n =
            ::pwrite(fd, contents.constData() + done, size_t(contents.size() - done), off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail(n < 0 ? errno : ENOSPC);
        done += n;
    }
    if (::ftruncate(fd, off_t(contents.size())) != 0 || ::fsync(fd) != 0)
        return fail(errno);
    if (::close(fd) != 0)
        return systemFailure(fileName, errno);
    return QString();
}
#endif

// Through a new file beside the old one. Sets `replaceable` to false (and
// leaves everything as it was) where the new file could not stand in for the
// old one; the caller then writes in place.
QString writeReplacing(const QString& fileName, const QByteArray& contents, bool& replaceable) {
    replaceable = true;
    const QFileInfo old(fileName);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        replaceable = !(old.exists() && old.isFile());
        return failure(fileName, file.errorString());
    }
#ifdef Q_OS_UNIX
    struct stat info = {};
    if (old.exists() && ::stat(QFile::encodeName(fileName).constData(), &info) == 0 &&
        ::fchown(file.handle(), info.st_uid, info.st_gid) != 0) {
        file.cancelWriting();
        replaceable = false;
        return QString();
    }
#endif
    const bool written = file.write(contents) == contents.size() && file.flush();
    if (!written || file.size() != contents.size()) {
        const QString reason = file.error() != QFileDevice::NoError ? file.errorString() : cutShort;
        file.cancelWriting();
        return failure(fileName, reason);
    }
    if (!file.commit())
        return failure(fileName, file.errorString());
    return QString();
}

} // namespace

QString FileSaver::write(const QString& fileName, const QByteArray& contents) {
#ifdef Q_OS_UNIX
    struct stat info = {};
    if (::stat(QFile::encodeName(fileName).constData(), &info) == 0) {
        if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode))
            return failure(fileName, QStringLiteral("not a regular file"));
        if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))
            return writeDirect(fileName, contents);
        if (S_ISREG(info.st_mode) && info.st_nlink > 1)
            return writeInPlace(fileName, contents);
    }
    bool replaceable = true;
    const QString error = writeReplacing(fileName, contents, replaceable);
    if (replaceable)
        return error;
    return writeInPlace(fileName, contents);
#else
    const QFileInfo target(fileName);
    if (target.exists() && !target.isFile() && !target.isDir())
        return writeDirect(fileName, contents);
    bool replaceable = true;
    return writeReplacing(fileName, contents, replaceable);
#endif
}
