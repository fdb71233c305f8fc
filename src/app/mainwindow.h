#pragma once

#include "core/commands.h"
#include "core/paneltexts.h"
#include "state/programstate.h"
#include "tablefiles.h"
#include "windowaddressinput.h"

#include <QMainWindow>
#include <functional>
#include <optional>
#include <vector>

class AboutWindow;
class AddressDialog;
class ChipTypeDialog;
class ComPort;
class MediaPlayer;
class PortDialog;
class Prompter;
class QLabel;
class QMenu;
class QTabWidget;
class QTableView;
class QToolBar;
class SoundOutputDialog;

// The main window. It owns the program's state (ProgramState: the tables, the
// panel texts, the commands and their handlers, the command frame, the link
// flags) and lays out the widgets over it; each subsystem registers its
// handlers in the state (wiring.h). The rules themselves live in the
// subsystems.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(ComPort& port, MediaPlayer* player, Prompter& prompter, const QString& configPath,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // The dialogs are created after the main window, in start-up order.
    void setDialogs(PortDialog* port, ChipTypeDialog* chipType, AddressDialog* address,
                    AboutWindow* about);

    // The window's contents at start: the state's, the first page, the
    // columns' widths.
    void setUpState();
    // The stretching columns follow the window's width.
    void fitColumns();
    // Closes the port and the player and writes the settings file; once. A
    // settings file that cannot be written is reported.
    void shutDown();
    // Closes the window because the program was told to end (SIGTERM,
    // SIGINT, SIGHUP): no message box and no question, the report goes to
    // standard error.
    void closeOnSignal();
    // Asked before the window closes (Exit, the close box); false keeps it.
    void setLeaveCheck(std::function<bool()> check) { leaveCheck = std::move(check); }

    // Menu and dialog handlers of the window itself.
    void exitProgram();
    void showAbout();
    void choosePort();
    void chooseChipType();
    // Setup > Sound output.
    void chooseSoundOutput();

    // The settings file lines as they would be written now.
    QStringList configLines() const;

    // What the window shows and the subsystems work on.
    ProgramState& state() { return state_; }
    const ProgramState& state() const { return state_; }

    // The address dialog as the commands ask it.
    AddressInput& addressInput() { return addressInput_; }
    // Lists, maps and sound files brought in without the file dialogs.
    TableFiles& tableFiles() { return tableFiles_; }
    // A sound file's length in milliseconds as the plan has measured it;
    // nothing while unknown.
    std::optional<qint64> soundLengthMs(const QString& path) const {
        return soundLengths ? soundLengths(path) : std::nullopt;
    }
    void setSoundLengths(std::function<std::optional<qint64>(const QString&)> lengths) {
        soundLengths = std::move(lengths);
    }

    PortDialog* portDialog() const { return portDialog_; }
    ChipTypeDialog* chipTypeDialog() const { return chipTypeDialog_; }
    AddressDialog* addressDialog() const { return addressDialog_; }
    AboutWindow* aboutWindow() const { return aboutWindow_; }
    SoundOutputDialog* soundOutputDialog() const { return soundOutputDialog_; }

    // Widgets, named after their controls.
    QTabWidget* pages() const { return pages_; }
    QTableView* fileView() const { return fileView_; }
    QTableView* mapView() const { return mapView_; }
    QLabel* panelLabel(PanelTexts::Field field) const { return valueLabels[field]; }
    QMenu* popupMenu() const { return popupMenu_; }

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    QToolBar* buildToolBar(const char* name, Commands::Place place);
    // The user's choice of a row (mouse or keys) runs `click`.
    QTableView* buildGrid(StringGrid& grid, const char* name, Handler click);
    QWidget* buildPanel();
    void applyWidths(StringGrid& grid, const std::vector<int>& widths);

    ProgramState state_;
    WindowAddressInput addressInput_{*this};
    TableFiles tableFiles_;
    QString configPath;
    bool closed = false;
    bool endingOnSignal = false;
    std::function<bool()> leaveCheck;
    std::function<std::optional<qint64>(const QString&)> soundLengths;

    PortDialog* portDialog_ = nullptr;
    ChipTypeDialog* chipTypeDialog_ = nullptr;
    AddressDialog* addressDialog_ = nullptr;
    AboutWindow* aboutWindow_ = nullptr;
    SoundOutputDialog* soundOutputDialog_ = nullptr;

    QTabWidget* pages_ = nullptr;
    QTableView* fileView_ = nullptr;
    QTableView* mapView_ = nullptr;
    QMenu* popupMenu_ = nullptr;
    QLabel* valueLabels[PanelTexts::FieldCount] = {};
};
