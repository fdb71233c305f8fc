#pragma once

#include <QString>
#include <memory>

class MediaPlayer;
class Prompter;
class TAutor;
class TCustomComPort;
class TFormularz;
class TOKAdresDlg;
class TPortDialog;
class TUkladDialog;

// The program's windows, created in start-up order: the main window, the port
// dialog (which may open the port), the chip type dialog (which applies the
// stored type and so sends it to an open port), the address dialog, About.
// The dialogs belong to the main window.
struct Windows {
    std::unique_ptr<TFormularz> main;
    TPortDialog* port = nullptr;
    TUkladDialog* uklad = nullptr;
    TOKAdresDlg* adres = nullptr;
    TAutor* autor = nullptr;
};

Windows createWindows(TCustomComPort& port, MediaPlayer* player, Prompter& prompter,
                      const QString& configPath);
