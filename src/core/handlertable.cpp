#include "handlertable.h"

#include "guard.h"

void HandlerTable::set(const QString& name, std::function<void()> operation) {
    operations.insert(name, std::move(operation));
}

void HandlerTable::run(const QString& name) {
    const auto found = operations.constFind(name);
    if (found == operations.constEnd())
        return;
    runGuarded(prompter, found.value());
}
