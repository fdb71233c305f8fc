#pragma once

#include "handler.h"

#include <QAction>
#include <QHash>
#include <QObject>
#include <QString>
#include <initializer_list>
#include <vector>

// Every menu item and tool bar button of the main window, by what it is. Its
// control name (the action's objectName) is in the command table, and with
// its caption, place and handler in docs/NAMES.md.
enum class Control {
    // Tool bar of "Sound Files".
    PlayFileButton,
    RecordFileButton,
    StopPlaybackButton,
    AddFileButton,
    RemoveFileButton,
    LoadFileListButton,
    SaveFileListButton,
    // Tool bar of "ISD Memory Map".
    PlayFromChipButton,
    StopChipButton,
    LoadMemoryMapButton,
    SaveMemoryMapButton,
    // Menu "File".
    AddFileItem,
    OpenTableItem,
    OpenMemoryMapItem,
    RemoveFileItem,
    CloseFileListItem,
    SaveFileListItem,
    SaveMemoryMapItem,
    ExitItem,
    // Menu "Address".
    InsertMenu,
    InsertStartAddressItem,
    InsertStopAddressItem,
    RemoveMenu,
    RemoveStartAddressItem,
    RemoveStopAddressItem,
    CopyFromMapMenu,
    CopyStartAddressItem,
    CopyStopAddressItem,
    CopyTableItem,
    ChangeCurrentAddressItem,
    // Menu "Recording".
    RecordFileItem,
    RecordTableItem,
    PlayFileItem,
    StopPlaybackItem,
    // Menu "ISD".
    PlayFromChipItem,
    PlayTableItem,
    StopChipItem,
    MemoryScanItem,
    CheckRecordsItem,
    PowerUpItem,
    PowerDownItem,
    EraseItem,
    // Menu "Setup", and "About" in the menu bar.
    ChangePortItem,
    ChangeChipTypeItem,
    SoundOutputItem,
    AboutItem,
    // Context menu of the file table.
    InsertFilePopupItem,
    DeleteFilePopupItem,
    StartAddressPopupMenu,
    EditStartAddressPopupItem,
    RemoveStartAddressPopupItem,
    StopAddressPopupMenu,
    EditStopAddressPopupItem,
    RemoveStopAddressPopupItem,
    // Planning the chip.
    PlanAddressesItem,
    ExportAddressesItem,
    // Everyday use: recent files, the serial log, keys of the file table.
    RecentListsMenu,
    RecentMapsMenu,
    SerialLogItem,
    EditAddressKey,
    PopupMenuKey,
    // Switched along with the others, never shown.
    ScanChipHidden,
    SaveFileListHidden,
    CloseFileListHidden,
    InsertStopHidden,
    Count
};

// Every menu item and tool bar button of the main window as its own QAction,
// named after its control. A tool button and the menu item of the same command
// are two actions because their enabled states are switched separately.
class Commands : public QObject {
    Q_OBJECT
public:
    // FileGrid: a key of the file table, in no menu.
    enum class Place { ToolBar1, ToolBar2, MainMenu, SubMenu, PopupMenu, FileGrid, Hidden };

    // One row of the command table.
    struct Row {
        Control control;
        const char* name;    // control name, the action's objectName
        const char* caption; // menu caption; tool buttons show their hint
        const char* hint;    // tool tip; "" for menu items
        bool enabledAtStart;
        Handler handler; // the operation it triggers; None for submenu holders
        Place place;
    };

    explicit Commands(QObject* parent = nullptr);

    QAction* action(Control control) const;
    bool isEnabled(Control control) const { return action(control)->isEnabled(); }
    void setEnabled(std::initializer_list<Control> controls, bool enabled);

    // The action of a control by its control name; raises AppError for a
    // name that is none of ours.
    QAction* action(const QString& name) const;
    bool isEnabled(const QString& name) const { return action(name)->isEnabled(); }

    // The command table, in the order of Control.
    static const std::vector<Row>& controls();
    static const Row& row(Control control);
    QList<QAction*> all() const;

signals:
    // A control was triggered; `handler` is the operation it runs.
    void triggered(Handler handler);

private:
    QHash<QString, QAction*> byName;
    QList<QAction*> ordered;
};
