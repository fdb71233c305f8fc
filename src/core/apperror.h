#pragma once

#include <QString>
#include <stdexcept>

// The program's own failure: raised where an operation cannot go on (a number
// that does not convert, a port that refuses), caught by the handler guard,
// which shows the message and lets the program carry on.
class AppError : public std::runtime_error {
public:
    explicit AppError(const QString& message)
        : std::runtime_error(message.toStdString()), text(message) {}
    QString message() const { return text; }

private:
    QString text;
};
