#include "link/chiplink.h"
#include "mainwindow.h"
#include "wiring.h"

#include <QTabWidget>

void wireChipOperations(MainWindow& window) {
    // Without a player nothing can be recorded or played: the chip commands
    // stay without handlers.
    if (window.state().player == nullptr)
        return;
    new ChipLink(
        window.state(), window.addressInput(), [&window] { window.pages()->setCurrentIndex(1); },
        &window);
}
