#pragma once

#include <QString>

#include <sys/types.h>

// File permissions as an ordinary user meets them. The tests run as root in
// CI, and root reads and writes whatever the permission bits say; so while an
// Unprivileged lives, a root test process acts as the user "nobody"
// (effective ids only: it becomes root again afterwards). Run as an ordinary
// user, it changes nothing: the bits already apply.
class Unprivileged {
public:
    Unprivileged();
    ~Unprivileged();
    Unprivileged(const Unprivileged&) = delete;
    Unprivileged& operator=(const Unprivileged&) = delete;

    // Whether permission checks can be made to apply here; else why not.
    static bool possible(QString* why = nullptr);
    // The user and group the checks are made for.
    static uid_t uid();
    static gid_t gid();
    // Hands a file or folder (and the folders above it up to `top`, made
    // passable) to that user, so that its permission bits govern it.
    static void own(const QString& path, const QString& top);
    // A command line that runs `program` as that user (setpriv when root);
    // empty when there is no way to.
    static QStringList command(const QString& program);

private:
    bool switched = false;
};
