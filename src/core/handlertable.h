#pragma once

#include "handler.h"

#include <array>
#include <cstddef>
#include <functional>

class Prompter;

// The operation each handler runs, registered by the subsystem that owns it.
// Every operation runs behind the guard: a failure raised inside it is shown
// in the standard error box and the program carries on.
class HandlerTable {
public:
    using Operation = std::function<void()>;

    explicit HandlerTable(Prompter& prompter) : prompter(prompter) {}

    // Registers (or replaces) the operation of a handler.
    void set(Handler handler, Operation operation);
    // Puts a step around a registered operation (a question before it):
    // `around` gets the operation as it was and decides whether it runs.
    void wrap(Handler handler, std::function<void(const Operation& inner)> around);
    bool has(Handler handler) const;
    // Runs a handler behind the guard. One that nothing registered raises
    // AppError, shown like any other failure: a command never silently does
    // nothing. Handler::None does nothing.
    void run(Handler handler);

private:
    Prompter& prompter;
    std::array<Operation, std::size_t(Handler::Count)> operations;
};
