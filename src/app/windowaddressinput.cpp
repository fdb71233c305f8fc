#include "windowaddressinput.h"

#include "chips/adresdialog.h"
#include "formularz.h"

bool WindowAddressInput::Execute() {
    return window.adresDialog() != nullptr && window.adresDialog()->Execute();
}

QString WindowAddressInput::addressText() const {
    return window.adresDialog() != nullptr ? window.adresDialog()->addressText() : QString();
}
