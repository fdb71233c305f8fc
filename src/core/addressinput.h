#pragma once

#include <QString>
#include <optional>

// Asks the user for one chip address (the address dialog); tests answer it.
class AddressInput {
public:
    virtual ~AddressInput() = default;
    // True when the user confirmed an address within the current chip.
    virtual bool Execute() = 0;
    // The confirmed text, as typed.
    virtual QString addressText() const = 0;

    // The one conversion of typed addresses: decimal with an optional sign,
    // blanks around it allowed. The dialog and the commands that read its
    // text convert the same way.
    static std::optional<int> toAddress(const QString& text);
};
