#include "ptyline.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

PtyLine::~PtyLine() {
    close();
}

bool PtyLine::create(QString& error) {
    master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        close();
        return false;
    }
    path = QString::fromLocal8Bit(ptsname(master));
    // Open the far end once: it is set raw here, and only after it has been
    // opened and closed does the master report POLLHUP while nobody holds it.
    const int slave = ::open(ptsname(master), O_RDWR | O_NOCTTY);
    if (slave < 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        close();
        return false;
    }
    termios tio{};
    tcgetattr(slave, &tio);
    cfmakeraw(&tio);
    cfsetispeed(&tio, B57600);
    cfsetospeed(&tio, B57600);
    tcsetattr(slave, TCSANOW, &tio);
    ::close(slave);
    return true;
}

bool PtyLine::peerOpen() const {
    if (master < 0)
        return false;
    pollfd p{master, POLLIN, 0};
    if (poll(&p, 1, 0) < 0)
        return false;
    return (p.revents & POLLHUP) == 0;
}

QByteArray PtyLine::readAvailable() {
    QByteArray bytes;
    if (master < 0)
        return bytes;
    char buffer[1024];
    for (;;) {
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        bytes.append(buffer, int(n));
    }
    return bytes;
}

bool PtyLine::write(const QByteArray& bytes) {
    if (master < 0)
        return false;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR) {
                pollfd p{master, POLLOUT, 0};
                poll(&p, 1, 100);
                continue;
            }
            return false;
        }
        done += n;
    }
    return true;
}

int PtyLine::writeSome(const QByteArray& bytes) {
    if (master < 0)
        return 0;
    const ssize_t n = ::write(master, bytes.constData(), size_t(bytes.size()));
    return n < 0 ? 0 : int(n);
}

void PtyLine::close() {
    if (master >= 0)
        ::close(master);
    master = -1;
}
