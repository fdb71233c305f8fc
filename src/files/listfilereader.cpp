#include "listfilereader.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

constexpr qint64 ChunkSize = 64 * 1024;

// Opening a named pipe waits for a writer that may never come.
bool waitsOnOpen(const QString& name) {
#ifdef Q_OS_UNIX
    struct stat info = {};
    if (::stat(QFile::encodeName(name).constData(), &info) != 0)
        return false;
    return S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode);
#else
    Q_UNUSED(name);
    return false;
#endif
}

} // namespace

QString ListFileReader::open(QFile& file) {
    const auto failure = [&file](const QString& reason) {
        return QStringLiteral("Cannot open %1: %2")
            .arg(QDir::toNativeSeparators(file.fileName()), reason);
    };
    if (waitsOnOpen(file.fileName()))
        return failure(QStringLiteral("not a regular file"));
    if (!file.open(QIODevice::ReadOnly))
        return failure(file.errorString());
    return QString();
}

bool ListFileReader::fill() {
    if (ended)
        return false;
    buffer.remove(0, pos);
    pos = 0;
    const qsizetype kept = buffer.size();
    buffer.resize(kept + ChunkSize);
    const qint64 got = device.read(buffer.data() + kept, ChunkSize);
    buffer.resize(kept + std::max<qint64>(got, 0));
    if (got <= 0)
        ended = true;
    return got > 0;
}

ListFileReader::Status ListFileReader::next(QByteArray& line) {
    qsizetype scanned = 0; // bytes after pos known to hold no line end
    for (;;) {
        const char* data = buffer.constData() + pos;
        const qsizetype left = buffer.size() - pos;
        qsizetype end = scanned;
        while (end < left && data[end] != '\n' && data[end] != '\r')
            ++end;
        scanned = end;
        if (end > MaxLineLength)
            return Status::TooLong;
        if (end < left) {
            // A CR may be followed by its LF in the next chunk.
            if (data[end] == '\r' && end + 1 == left && fill())
                continue;
            data = buffer.constData() + pos;
            const bool crLf =
                data[end] == '\r' && end + 1 < buffer.size() - pos && data[end + 1] == '\n';
            line = QByteArray(data, end);
            pos += end + (crLf ? 2 : 1);
            return Status::Line;
        }
        if (!fill()) {
            if (left == 0)
                return Status::End;
            line = QByteArray(buffer.constData() + pos, left);
            pos += left;
            return Status::Line;
        }
    }
}
