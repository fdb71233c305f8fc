#include "soundfile.h"

#include <QFile>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SoundFile {

namespace {

QString kindOf(mode_t mode) {
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("a FIFO");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("a device");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    return QStringLiteral("not a regular file");
}

QString notRegular(const QString& path, mode_t mode) {
    return QStringLiteral("%1 is %2, not a sound file").arg(path, kindOf(mode));
}

// libsndfile's file access, on a descriptor that stays the caller's; the
// descriptor travels in the user pointer.
int descriptorOf(void* user) {
    return int(reinterpret_cast<intptr_t>(user));
}

sf_count_t lengthOf(void* user) {
    struct stat info = {};
    return ::fstat(descriptorOf(user), &info) == 0 ? sf_count_t(info.st_size) : -1;
}

sf_count_t seekTo(sf_count_t offset, int whence, void* user) {
    return sf_count_t(::lseek(descriptorOf(user), off_t(offset), whence));
}

sf_count_t readInto(void* to, sf_count_t count, void* user) {
    sf_count_t done = 0;
    while (done < count) {
        const ssize_t n =
            ::read(descriptorOf(user), static_cast<char*>(to) + done, size_t(count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

sf_count_t writeNothing(const void*, sf_count_t, void*) {
    return 0;
}

sf_count_t currentPosition(void* user) {
    return sf_count_t(::lseek(descriptorOf(user), 0, SEEK_CUR));
}

} // namespace

int openRegular(const QString& path, QString& reason) {
    if (path.isEmpty()) {
        reason = QStringLiteral("File not found: no file name");
        return -1;
    }
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::stat(name.constData(), &info) != 0) {
        const int error = errno;
        reason = error == ENOENT || error == ENOTDIR
                     ? QStringLiteral("File not found: %1").arg(path)
                     : QStringLiteral("Cannot open %1: %2")
                           .arg(path, QString::fromLocal8Bit(std::strerror(error)));
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        reason = notRegular(path, info.st_mode);
        return -1;
    }
    // Non-blocking, and checked again on the open file: the name may have
    // been replaced by a FIFO in between.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = QStringLiteral("Cannot open %1: %2")
                     .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return -1;
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        reason = notRegular(path, info.st_mode);
        ::close(fd);
        return -1;
    }
    // Reads of a regular file never wait on O_NONBLOCK, but libraries that
    // take the descriptor need not know that.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

sf_private_tag* openSound(int fd, SF_INFO& info) {
    static SF_VIRTUAL_IO access = {lengthOf, seekTo, readInto, writeNothing, currentPosition};
    return sf_open_virtual(&access, SFM_READ, &info,
                           reinterpret_cast<void*>(static_cast<intptr_t>(fd)));
}

bool isMissing(const QString& path) {
    struct stat info {};
    if (path.isEmpty())
        return true;
    if (::stat(QFile::encodeName(path).constData(), &info) == 0)
        return false;
    return errno == ENOENT || errno == ENOTDIR;
}

QString failureMessage(const QString& path, const QString& reason) {
    return isMissing(path) ? notFoundText() : reason;
}

} // namespace SoundFile
