#pragma once

#include "core/addressinput.h"

class TFormularz;

// The address dialog is created after the window has been wired, so the
// commands reach it through this stand-in at the time they run.
class WindowAddressInput : public AddressInput {
public:
    explicit WindowAddressInput(TFormularz& window) : window(window) {}
    bool Execute() override;
    QString addressText() const override;

private:
    TFormularz& window;
};
