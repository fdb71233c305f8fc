#include "core/guard.h"
#include "core/prompter.h"
#include "core/recentfiles.h"
#include "core/tablelayout.h"
#include "core/usersettings.h"
#include "filedrop.h"
#include "files/addresstext.h"
#include "files/unsavedchanges.h"
#include "link/comport.h"
#include "mainwindow.h"
#include "questions.h"
#include "recentmenu.h"
#include "tablefiles.h"
#include "widgets/addressdialog.h"
#include "widgets/seriallogwindow.h"
#include "wiring.h"

#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTableView>

namespace {

constexpr int StartColumn = FileColumn::Start;
constexpr int StopColumn = FileColumn::Stop;

// Before the file table is replaced or dropped: true when it may go.
bool mayLeaveTable(ProgramState& s, UnsavedChanges& unsaved) {
    if (!unsaved.pending())
        return true;
    switch (s.prompter.ask(Questions::unsavedChanges(s.listFileName))) {
    case Questions::Save:
        // Saved to its list, or through the save dialog; a save that did not
        // happen (the dialog cancelled, the disk full) keeps the table.
        s.handlers.run(Handler::SaveList);
        return !unsaved.pending();
    case Questions::Discard:
        return true;
    default:
        return false;
    }
}

// Double-click or F2 on a start or stop cell: that address in the address
// dialog, as Address > Insert > Start Address / Stop Address edits it.
void editAddressCell(MainWindow& window, int gridColumn) {
    ProgramState& s = window.state();
    if (!s.commands.isEnabled(Control::InsertMenu))
        return;
    const bool stop = gridColumn == StopColumn;
    const QString cell = s.fileGrid.cell(stop ? StopColumn : StartColumn, s.fileGrid.Row());
    if (AddressDialog* dialog = window.addressDialog(); dialog && AddressText::toInteger(cell))
        dialog->addressEdit->setText(cell);
    s.handlers.run(stop ? Handler::EditStopAddress : Handler::EditStartAddress);
}

void takeDrop(MainWindow& window, const std::function<bool()>& mayLeave,
              const FileDrop::Files& files) {
    ProgramState& s = window.state();
    TableFiles& tables = window.tableFiles();
    if (!files.lists.isEmpty() && s.commands.isEnabled(Control::OpenTableItem)) {
        if (!mayLeave())
            return;
        tables.openList(files.lists.constFirst());
    }
    if (!files.maps.isEmpty() && s.commands.isEnabled(Control::OpenMemoryMapItem)) {
        tables.openMap(files.maps.constFirst());
        if (files.lists.isEmpty() && files.sounds.isEmpty())
            window.pages()->setCurrentIndex(1);
    }
    if (!files.sounds.isEmpty() && s.commands.isEnabled(Control::AddFileItem))
        tables.addSounds(files.sounds);
    if (!files.others.isEmpty())
        s.prompter.showMessage(QStringLiteral("Not taken (sound files are WAV or MIDI files, "
                                              "file lists .lsp, memory maps .mpp):\n") +
                               files.others.join(u'\n'));
}

// View > Serial log: shows the log window, or closes it when it shows. The
// window watches the port only while it is shown.
void showSerialLog(SerialLogWindow& log) {
    if (log.isVisible()) {
        log.close();
        return;
    }
    log.show();
    log.raise();
    log.activateWindow();
}

// The file table's context menu from the keyboard, at the selected row.
void showFileTableMenu(MainWindow& window) {
    QTableView* view = window.fileView();
    const QModelIndex current = view->currentIndex();
    const QRect cell = current.isValid() ? view->visualRect(current) : QRect();
    const QPoint at = cell.isValid() ? cell.bottomLeft() : QPoint(0, 0);
    window.popupMenu()->popup(view->viewport()->mapToGlobal(at));
}

void wireSerialLog(MainWindow& window) {
    ProgramState& s = window.state();
    QAction* act = s.commands.action(Control::SerialLogItem);
    act->setCheckable(true);
    auto* log = new SerialLogWindow(s.port, s.prompter, &window);
    QObject::connect(log, &SerialLogWindow::visibilityChanged, act, &QAction::setChecked);
    s.handlers.set(Handler::ShowSerialLog, [log] { showSerialLog(*log); });
}

} // namespace

void wireEveryday(MainWindow& window) {
    ProgramState& s = window.state();
    auto* unsaved = new UnsavedChanges(s.fileGrid, &window);
    const QString settings = UserSettings::path();
    auto* recentLists = new RecentFiles(settings, QStringLiteral("recent/lists"), &window);
    auto* recentMaps = new RecentFiles(settings, QStringLiteral("recent/maps"), &window);
    QObject::connect(
        &window.tableFiles(), &TableFiles::kept, &window,
        [unsaved, recentLists, recentMaps](TablesContext::Table table, const QString& file) {
            if (table == TablesContext::Table::Files) {
                unsaved->kept();
                recentLists->add(file);
            } else {
                recentMaps->add(file);
            }
        });

    // Exit, the close box, Open Table and Close file list ask before the
    // table's changes are lost.
    const std::function<bool()> mayLeave = [&s, unsaved] { return mayLeaveTable(s, *unsaved); };
    window.setLeaveCheck(mayLeave);
    for (const Handler handler : {Handler::OpenTable, Handler::CloseFileList}) {
        s.handlers.wrap(handler, [mayLeave](const HandlerTable::Operation& inner) {
            if (mayLeave())
                inner();
        });
    }

    // Erase asks first; with no programmer there is nothing to wipe, and the
    // command's own refusal comes without the question.
    s.handlers.wrap(Handler::Erase, [&s](const HandlerTable::Operation& inner) {
        if (!s.port.Active() || s.prompter.ask(Questions::erase()) == Questions::Erase)
            inner();
    });

    TableFiles& tables = window.tableFiles();
    new RecentMenu(
        s.commands.action(Control::RecentListsMenu)->menu(), *recentLists, s.prompter,
        QStringLiteral("No lists yet"),
        [&window, mayLeave](const QString& name) {
            runGuarded(window.state().prompter, [&] {
                if (mayLeave())
                    window.tableFiles().openList(name);
            });
        },
        &window);
    new RecentMenu(
        s.commands.action(Control::RecentMapsMenu)->menu(), *recentMaps, s.prompter,
        QStringLiteral("No maps yet"),
        [&window, &tables](const QString& name) {
            runGuarded(window.state().prompter, [&] {
                tables.openMap(name);
                window.pages()->setCurrentIndex(1);
            });
        },
        &window);

    auto* drop = new FileDrop(
        [&window, mayLeave](const FileDrop::Files& files) {
            runGuarded(window.state().prompter, [&] { takeDrop(window, mayLeave, files); });
        },
        &window);
    window.setAcceptDrops(true);
    window.fileView()->viewport()->setAcceptDrops(true);
    drop->watch(&window);
    drop->watch(window.fileView()->viewport());

    s.handlers.set(Handler::EditAddressCell, [&window] {
        const int column = window.fileView()->currentIndex().column() + 1;
        editAddressCell(window, column == StopColumn ? StopColumn : StartColumn);
    });
    s.handlers.set(Handler::ShowFileTableMenu, [&window] { showFileTableMenu(window); });
    QObject::connect(window.fileView(), &QAbstractItemView::doubleClicked, &window,
                     [&window](const QModelIndex& index) {
                         const int column = index.column() + 1;
                         if (column == StartColumn || column == StopColumn)
                             runGuarded(window.state().prompter,
                                        [&] { editAddressCell(window, column); });
                     });

    // A column the user widens keeps its width when the window is resized;
    // the file name column takes up the rest, as the window's rules say.
    QObject::connect(window.fileView()->horizontalHeader(), &QHeaderView::sectionResized, &window,
                     [&window](int section, int, int size) {
                         if (section + 1 != StartColumn && section + 1 != StopColumn)
                             return;
                         if (window.state().fileGrid.ColWidth(section + 1) == size)
                             return;
                         window.state().fileGrid.setColWidth(section + 1, size);
                         window.fitColumns();
                     });

    wireSerialLog(window);
}
