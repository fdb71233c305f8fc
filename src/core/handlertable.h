#pragma once

#include <QHash>
#include <QString>
#include <functional>

class Prompter;

// The operations the commands run, by handler name. Every operation runs
// behind the guard: a failure raised inside it is shown in the standard error
// box and the program carries on.
class HandlerTable {
public:
    explicit HandlerTable(Prompter& prompter) : prompter(prompter) {}

    // Registers (or replaces) the operation of a handler.
    void set(const QString& name, std::function<void()> operation);
    bool has(const QString& name) const { return operations.contains(name); }
    // Runs a handler behind the guard; unknown names do nothing.
    void run(const QString& name);

private:
    Prompter& prompter;
    QHash<QString, std::function<void()>> operations;
};
