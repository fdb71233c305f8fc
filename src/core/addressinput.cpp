#include "addressinput.h"

std::optional<int> AddressInput::toAddress(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}
