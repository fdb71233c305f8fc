#include "cliaddressinput.h"

#include "chips/chipcontrol.h"

bool CliAddressInput::valid(const QString& text, int lastAddress) {
    const std::optional<int> value = toAddress(text);
    return value && *value >= 0 && *value <= lastAddress;
}

bool CliAddressInput::Execute() {
    return valid(answer, chip.LastAddress);
}
