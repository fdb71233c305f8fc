#include "handlertable.h"

#include "apperror.h"
#include "guard.h"

#include <QString>

void HandlerTable::set(Handler handler, Operation operation) {
    if (handler != Handler::None && handler != Handler::Count)
        operations[std::size_t(handler)] = std::move(operation);
}

void HandlerTable::wrap(Handler handler, std::function<void(const Operation& inner)> around) {
    if (!has(handler))
        return;
    Operation inner = operations[std::size_t(handler)];
    operations[std::size_t(handler)] = [inner = std::move(inner), around = std::move(around)] {
        around(inner);
    };
}

bool HandlerTable::has(Handler handler) const {
    return handler != Handler::None && handler != Handler::Count &&
           bool(operations[std::size_t(handler)]);
}

void HandlerTable::run(Handler handler) {
    if (handler == Handler::None)
        return;
    runGuarded(prompter, [this, handler] {
        if (!has(handler))
            throw AppError(QStringLiteral("No operation for the command %1")
                               .arg(QString::fromLatin1(handlerName(handler))));
        // A copy: the operation may register handlers while it runs.
        const Operation operation = operations[std::size_t(handler)];
        operation();
    });
}
