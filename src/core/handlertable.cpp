#include "handlertable.h"

#include "apperror.h"
#include "guard.h"

#include <QString>

void HandlerTable::set(Handler handler, std::function<void()> operation) {
    if (handler != Handler::None && handler != Handler::Count)
        operations[std::size_t(handler)] = std::move(operation);
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
        operations[std::size_t(handler)]();
    });
}
