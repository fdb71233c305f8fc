#include "unprivileged.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace {
constexpr uid_t NobodyUid = 65534;
constexpr gid_t NobodyGid = 65534;

bool root() {
    return ::getuid() == 0;
}
} // namespace

Unprivileged::Unprivileged() {
    if (!root())
        return;
    // The group first: once the user is dropped, the group can no longer be.
    if (::setegid(NobodyGid) != 0)
        return;
    if (::seteuid(NobodyUid) != 0) {
        [[maybe_unused]] const int back = ::setegid(0);
        return;
    }
    switched = true;
}

Unprivileged::~Unprivileged() {
    if (!switched)
        return;
    [[maybe_unused]] const int user = ::seteuid(0);
    [[maybe_unused]] const int group = ::setegid(0);
}

bool Unprivileged::possible(QString* why) {
    if (!root())
        return true;
    Unprivileged probe;
    if (probe.switched && ::geteuid() == NobodyUid)
        return true;
    if (why != nullptr)
        *why = QStringLiteral("running as root without the right to change the effective user");
    return false;
}

uid_t Unprivileged::uid() {
    return root() ? NobodyUid : ::getuid();
}

gid_t Unprivileged::gid() {
    return root() ? NobodyGid : ::getgid();
}

void Unprivileged::own(const QString& path, const QString& top) {
    if (!root())
        return;
    [[maybe_unused]] const int owned =
        ::chown(QFile::encodeName(path).constData(), NobodyUid, NobodyGid);
    // A scratch folder is made for its owner alone; let the user through.
    QString folder = QFileInfo(path).absolutePath();
    const QString last = QFileInfo(top).absoluteFilePath();
    while (folder.startsWith(last)) {
        QFile::setPermissions(folder, QFile::permissions(folder) | QFileDevice::ExeOther |
                                          QFileDevice::ReadOther);
        if (folder == last)
            break;
        folder = QFileInfo(folder).absolutePath();
    }
}

QStringList Unprivileged::command(const QString& program) {
    if (!root())
        return {program};
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (setpriv.isEmpty())
        return {};
    return {setpriv,
            QStringLiteral("--reuid=%1").arg(NobodyUid),
            QStringLiteral("--regid=%1").arg(NobodyGid),
            QStringLiteral("--clear-groups"),
            QStringLiteral("--"),
            program};
}
