#include "startup.h"

#include "aboutwindow.h"
#include "core/mediaplayer.h"
#include "files/outputdevices.h"
#include "mainwindow.h"
#include "widgets/addressdialog.h"
#include "widgets/chiptypedialog.h"
#include "widgets/portdialog.h"
#include "wiring.h"

Windows createWindows(ComPort& port, MediaPlayer* player, Prompter& prompter,
                      const QString& configPath) {
    Windows windows;
    // The sound output chosen in an earlier run (Setup > Sound output).
    if (player != nullptr)
        player->OutputDevice = OutputDevices::savedChoice();
    windows.main = std::make_unique<MainWindow>(port, player, prompter, configPath);
    MainWindow& main = *windows.main;
    windows.port = new PortDialog(port, main.state().panel, prompter, &main);
    windows.port->loadSettings(configPath);
    windows.chipType = new ChipTypeDialog(main.state().chip, &main);
    windows.chipType->loadSettings(configPath);
    windows.address = new AddressDialog(main.state().chip, prompter, &main);
    windows.about = new AboutWindow(&main);
    main.setDialogs(windows.port, windows.chipType, windows.address, windows.about);
    // After the port had its chance to open: the status bar starts from there.
    wireStatus(main);
    return windows;
}
