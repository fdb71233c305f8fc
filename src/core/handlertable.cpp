#include "handlertable.h"

#include "guard.h"

void HandlerTable::set(const QString& name, Operation operation) {
    operations.insert(name, std::move(operation));
}

void HandlerTable::wrap(const QString& name, std::function<void(const Operation& inner)> around) {
    Operation inner = operations.value(name, [] {});
    operations.insert(name,
                      [inner = std::move(inner), around = std::move(around)] { around(inner); });
}

void HandlerTable::run(const QString& name) {
    const auto found = operations.constFind(name);
    if (found == operations.constEnd())
        return;
    // A copy: the operation may replace handlers while it runs.
    const Operation operation = found.value();
    runGuarded(prompter, operation);
}
