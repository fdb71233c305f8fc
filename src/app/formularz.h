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
class TAutor;
class TCustomComPort;
class TOKAdresDlg;
class TPortDialog;
class TUkladDialog;

// The main window. It owns the window state every subsystem works on (the two
// tables, the panel texts, the commands, the command frame, the link flags),
// lays out the widgets over it and routes each command to its handler. The
// rules themselves live in the subsystems.
class TFormularz : public QMainWindow {
    Q_OBJECT
public:
    TFormularz(TCustomComPort& port, MediaPlayer* player, Prompter& prompter,
               const QString& configPath, QWidget* parent = nullptr);
    ~TFormularz() override;

    // The dialogs are created after the main window, in start-up order.
    void setDialogs(TPortDialog* port, TUkladDialog* uklad, TOKAdresDlg* adres, TAutor* autor);

    void FormCreate();
    void FormResize();
    void FormClose();

    // Registers the operation a command runs; the name is the handler's.
    void setHandler(const QString& name, std::function<void()> handler);
    // Runs a handler by name behind the guard; unknown names do nothing.
    void runHandler(const QString& name);

    // Menu and dialog handlers of the window itself.
    void ExitClick();
    void Autor1Click();
    void Wybierzport1Click();
    void Wybierzukad1Click();

    // The settings file lines as they would be written now.
    QStringList configLines() const;

    // Window state, shared with the subsystems.
    Commands commands;
    PanelTexts panel;
    StringGrid ListaPlikow{4, 120};
    StringGrid ListaNagran{7, 120};
    CommandFrame frame;
    LinkContext link;
    ChipControl chip;
    CommandAvailability availability;
    RememberedFolders folders;
    FileDialog Open;
    FileDialog Save;
    QString ListFileName;
    int SoundFileType = 1;

    TCustomComPort& ComPort1;
    MediaPlayer* Player;
    Prompter& prompter;

    TPortDialog* portDialog() const { return PortDialog; }
    TUkladDialog* ukladDialog() const { return UkladDialog; }
    TOKAdresDlg* adresDialog() const { return OKAdresDlg; }
    TAutor* autor() const { return Autor; }

    // Widgets, named after their controls.
    QTabWidget* pages() const { return Strony; }
    QTableView* filesView() const { return ListaPlikowView; }
    QTableView* mapView() const { return ListaNagranView; }
    QLabel* panelLabel(PanelTexts::Field field) const { return valueLabels[field]; }
    QMenu* popupMenu() const { return PopupMenu; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    QToolBar* buildToolBar(const char* name, Commands::Place place);
    QTableView* buildGrid(StringGrid& grid, const char* name);
    QWidget* buildPanel();
    void applyWidths(StringGrid& grid, const std::vector<int>& widths);

    QString configPath;
    QHash<QString, std::function<void()>> handlers;
    bool closed = false;

    TPortDialog* PortDialog = nullptr;
    TUkladDialog* UkladDialog = nullptr;
    TOKAdresDlg* OKAdresDlg = nullptr;
    TAutor* Autor = nullptr;

    QTabWidget* Strony = nullptr;
    QTableView* ListaPlikowView = nullptr;
    QTableView* ListaNagranView = nullptr;
    QMenu* PopupMenu = nullptr;
    QLabel* valueLabels[PanelTexts::FieldCount] = {};
};
