#include "guard.h"

#include "apperror.h"
#include "prompter.h"

#include <exception>

void runGuarded(Prompter& prompter, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const AppError& error) {
        prompter.showError(error.message());
    } catch (const std::exception& error) {
        prompter.showError(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        prompter.showError(QStringLiteral("Unknown error"));
    }
}
