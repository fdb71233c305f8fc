#pragma once

#include <QString>
#include <memory>

class MediaPlayer;
class Prompter;
class AboutWindow;
class ComPort;
class MainWindow;
class AddressDialog;
class PortDialog;
class ChipTypeDialog;

// The program's windows, created in start-up order: the main window, the port
// dialog (which may open the port), the chip type dialog (which applies the
// stored type and so sends it to an open port), the address dialog, About.
// The dialogs belong to the main window.
struct Windows {
    std::unique_ptr<MainWindow> main;
    PortDialog* port = nullptr;
    ChipTypeDialog* chipType = nullptr;
    AddressDialog* address = nullptr;
    AboutWindow* about = nullptr;
};

Windows createWindows(ComPort& port, MediaPlayer* player, Prompter& prompter,
                      const QString& configPath);
