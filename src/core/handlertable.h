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
    using Operation = std::function<void()>;

    explicit HandlerTable(Prompter& prompter) : prompter(prompter) {}

    // Registers (or replaces) the operation of a handler.
    void set(const QString& name, Operation operation);
    // Puts a step around a registered operation: `around` gets the operation
    // as it was and decides whether and when it runs. A name without an
    // operation gets one that runs `around` with nothing inside.
    void wrap(const QString& name, std::function<void(const Operation& inner)> around);
    bool has(const QString& name) const { return operations.contains(name); }
    // Runs a handler behind the guard; unknown names do nothing.
    void run(const QString& name);

private:
    Prompter& prompter;
    QHash<QString, Operation> operations;
};
