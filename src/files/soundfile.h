#pragma once

#include <QByteArray>
#include <QString>

struct SF_INFO;
struct sf_private_tag;

// Opening sound files for the player and the length measurement: only
// regular files are read, so that a FIFO, a device or a folder named in a
// table can never block or flood the program.
namespace SoundFile {

// The text the user is shown when a sound file cannot be played or recorded.
inline QString notFoundText() {
    return QStringLiteral("File not found");
}

// Opens `path` for reading without blocking; -1 with the reason when there is
// no such file or it is not a regular file. The descriptor is the caller's.
int openRegular(const QString& path, QString& reason);
// Opens the sound in the regular file `fd` for reading through libsndfile;
// nullptr when it is no sound the library reads. The library reads through
// the descriptor but never closes it, whether it opens the sound or not: the
// caller closes it, once, after sf_close(). (Handed to sf_open_fd(), it is
// closed on failure even when the library is told not to, and a close of
// one's own then closes whatever another thread opened meanwhile.)
sf_private_tag* openSound(int fd, SF_INFO& info);
// Whether nothing at all is at `path` (a dangling link counts as nothing).
bool isMissing(const QString& path);
// "File not found" when the file does not exist, otherwise `reason`.
QString failureMessage(const QString& path, const QString& reason);

} // namespace SoundFile
