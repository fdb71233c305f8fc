#include "startup.h"

#include "autor.h"
#include "chips/adresdialog.h"
#include "chips/ukladdialog.h"
#include "formularz.h"
#include "link/portdialog.h"
#include "wiring.h"

Windows createWindows(TCustomComPort& port, MediaPlayer* player, Prompter& prompter,
                      const QString& configPath) {
    Windows windows;
    windows.main = std::make_unique<TFormularz>(port, player, prompter, configPath);
    TFormularz& main = *windows.main;
    windows.port = new TPortDialog(port, main.panel, prompter, &main);
    windows.port->FormCreate(configPath);
    windows.uklad = new TUkladDialog(main.chip, &main);
    windows.uklad->FormCreate(configPath);
    windows.adres = new TOKAdresDlg(main.chip, prompter, &main);
    windows.autor = new TAutor(&main);
    main.setDialogs(windows.port, windows.uklad, windows.adres, windows.autor);
    // After the port had its chance to open: the status bar starts from there.
    wireStatus(main);
    return windows;
}
