#include "terminal.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
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
#else
// Elsewhere the progress is written as plain lines, and standard input is
// not watched: a production run there goes on with --auto-next.
bool Terminal::isTerminal(int) {
    return false;
}

int Terminal::columns(int) {
    return 80;
}

StdinLines::StdinLines(QObject* parent) : QObject(parent), notifier(nullptr) {}

void StdinLines::read() {}
#endif
