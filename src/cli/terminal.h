#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;

// The terminal around the command-line program: whether an output is one,
// and the lines typed on standard input.
namespace Terminal {
inline constexpr int StandardError = 2;
bool isTerminal(int fd);
// The terminal's width in characters; 80 when it cannot be told.
int columns(int fd);
} // namespace Terminal

// Lines from standard input, as they come; closed() at its end.
class StdinLines : public QObject {
    Q_OBJECT
public:
    explicit StdinLines(QObject* parent = nullptr);
    bool atEnd() const { return ended; }

signals:
    void line(const QString& text);
    void closed();

private:
    void read();

    QSocketNotifier* notifier;
    QByteArray buffer;
    bool ended = false;
};
