#pragma once

#include <QString>

// Asks the user for one chip address (the address dialog); tests answer it.
class AddressInput {
public:
    virtual ~AddressInput() = default;
    // True when the user confirmed an address within the current chip.
    virtual bool Execute() = 0;
    // The confirmed text, as typed.
    virtual QString addressText() const = 0;
};
