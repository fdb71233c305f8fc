#include "terminal.h"

#include <QSocketNotifier>
#include <sys/ioctl.h>
#include <unistd.h>

bool Terminal::isTerminal(int fd) {
    return ::isatty(fd) == 1;
}

int Terminal::columns(int fd) {
    winsize size{};
    if (::ioctl(fd, TIOCGWINSZ, &size) != 0 || size.ws_col == 0)
        return 80;
    return size.ws_col;
}

StdinLines::StdinLines(QObject* parent)
    : QObject(parent), notifier(new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this)) {
    connect(notifier, &QSocketNotifier::activated, this, &StdinLines::read);
}

void StdinLines::read() {
    char chunk[512];
    const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
    if (n <= 0) {
        notifier->setEnabled(false);
        ended = true;
        emit closed();
        return;
    }
    buffer.append(chunk, int(n));
    qsizetype end;
    while ((end = buffer.indexOf('\n')) >= 0) {
        const QString text = QString::fromLocal8Bit(buffer.left(end)).trimmed();
        buffer.remove(0, end + 1);
        emit line(text);
    }
}
