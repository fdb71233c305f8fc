#pragma once

#include "chips/chipcontrol.h"
#include "core/availability.h"
#include "core/commands.h"
#include "core/filedialog.h"
#include "core/folders.h"
#include "core/paneltexts.h"
#include "core/stringgrid.h"
#include "link/commandframe.h"
#include "link/linkstate.h"

#include <QHash>
#include <QMainWindow>
#include <functional>
#include <memory>

class MediaPlayer;
class Prompter;
class QLabel;
class QMenu;
class QTabWidget;
class QTableView;
class QToolBar;
class AboutWindow;
class ComPort;
class AddressDialog;
class PortDialog;
class ChipTypeDialog;

// The main window. It owns the window state every subsystem works on (the two
// tables, the panel texts, the commands, the command frame, the link flags),
// lays out the widgets over it and routes each command to its handler. The
// rules themselves live in the subsystems.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(ComPort& port, MediaPlayer* player, Prompter& prompter, const QString& configPath,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // The dialogs are created after the main window, in start-up order.
    void setDialogs(PortDialog* port, ChipTypeDialog* chipType, AddressDialog* address,
                    AboutWindow* about);

    void setUpState();
    void fitColumns();
    void shutDown();

    // Registers the operation a command runs; the name is the handler's.
    void setHandler(const QString& name, std::function<void()> handler);
    // Runs a handler by name behind the guard; unknown names do nothing.
    void runHandler(const QString& name);

    // Menu and dialog handlers of the window itself.
    void exitProgram();
    void showAbout();
    void choosePort();
    void chooseChipType();

    // The settings file lines as they would be written now.
    QStringList configLines() const;

    // Window state, shared with the subsystems.
    Commands commands;
    PanelTexts panel;
    StringGrid fileGrid{4, 120};
    StringGrid mapGrid{7, 120};
    CommandFrame frame;
    LinkContext link;
    ChipControl chip;
    CommandAvailability availability;
    RememberedFolders folders;
    FileDialog openDialog;
    FileDialog saveDialog;
    QString listFileName;
    int soundFileType = 1;

    ComPort& port;
    MediaPlayer* player;
    Prompter& prompter;

    PortDialog* portDialog() const { return portDialog_; }
    ChipTypeDialog* chipTypeDialog() const { return chipTypeDialog_; }
    AddressDialog* addressDialog() const { return addressDialog_; }
    AboutWindow* aboutWindow() const { return aboutWindow_; }

    // Widgets, named after their controls.
    QTabWidget* pages() const { return pages_; }
    QTableView* fileView() const { return fileView_; }
    QTableView* mapView() const { return mapView_; }
    QLabel* panelLabel(PanelTexts::Field field) const { return valueLabels[field]; }
    QMenu* popupMenu() const { return popupMenu_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    QToolBar* buildToolBar(const char* name, Commands::Place place);
    // A click on a row selects it and runs `click`.
    QTableView* buildGrid(StringGrid& grid, const char* name, const QString& click);
    QWidget* buildPanel();
    void applyWidths(StringGrid& grid, const std::vector<int>& widths);

    QString configPath;
    QHash<QString, std::function<void()>> handlers;
    bool closed = false;

    PortDialog* portDialog_ = nullptr;
    ChipTypeDialog* chipTypeDialog_ = nullptr;
    AddressDialog* addressDialog_ = nullptr;
    AboutWindow* aboutWindow_ = nullptr;

    QTabWidget* pages_ = nullptr;
    QTableView* fileView_ = nullptr;
    QTableView* mapView_ = nullptr;
    QMenu* popupMenu_ = nullptr;
    QLabel* valueLabels[PanelTexts::FieldCount] = {};
};
