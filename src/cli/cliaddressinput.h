#pragma once

#include "core/addressinput.h"

class ChipControl;

// The address dialog's question ("Change current ISD address") answered from
// the command line: the address given is taken when it lies in the chip, as
// the dialog takes it.
class CliAddressInput : public AddressInput {
public:
    explicit CliAddressInput(const ChipControl& chip) : chip(chip) {}

    void setAnswer(const QString& text) { answer = text; }
    bool Execute() override;
    QString addressText() const override { return answer; }

    // Whether `text` is an address of the chip (0 to its last address).
    static bool valid(const QString& text, int lastAddress);

private:
    const ChipControl& chip;
    QString answer;
};
