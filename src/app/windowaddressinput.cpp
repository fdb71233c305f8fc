#include "windowaddressinput.h"

#include "mainwindow.h"
#include "widgets/addressdialog.h"

bool WindowAddressInput::Execute() {
    return window.addressDialog() != nullptr && window.addressDialog()->Execute();
}

QString WindowAddressInput::addressText() const {
    return window.addressDialog() != nullptr ? window.addressDialog()->addressText() : QString();
}
