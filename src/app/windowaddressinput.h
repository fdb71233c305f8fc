#pragma once

#include "core/addressinput.h"

class MainWindow;

// The address dialog is created after the window has been wired, so the
// commands reach it through this stand-in at the time they run.
class WindowAddressInput : public AddressInput {
public:
    explicit WindowAddressInput(MainWindow& window) : window(window) {}
    bool Execute() override;
    QString addressText() const override;

private:
    MainWindow& window;
};
