#include "commands.h"

#include "apperror.h"

namespace {
using P = Commands::Place;
}

const std::vector<Commands::Control>& Commands::controls() {
    static const std::vector<Control> table = {
        // Tool bar of "Sound Files".
        {"OdtwarzajPlik", "Play File", "Play File", false, "playFile", P::ToolBar1},
        {"RecordISD", "Record File to ISD", "Record File to ISD", false, "recordFile", P::ToolBar1},
        {"SpeedButton7", "Stop", "Stop", false, "stopPlayback", P::ToolBar1},
        {"SpeedButton2", "Add File", "Add File", true, "addFile", P::ToolBar1},
        {"DeletePlik", "Remove File", "Remove File", false, "removeFile", P::ToolBar1},
        {"SpeedButton4", "Load File List", "Load File List", true, "openTable", P::ToolBar1},
        {"SpeedButton5", "Save File List", "Save File List", false, "saveList", P::ToolBar1},
        // Tool bar of "ISD Memory Map".
        {"SpeedButton8", "Play from ISD", "Play from ISD", true, "playFromChip", P::ToolBar2},
        {"SpeedButton1", "Stop", "Stop", false, "stopChip", P::ToolBar2},
        {"SpeedButton3", "Load Memory Map", "Load Memory Map", true, "openMemoryMap", P::ToolBar2},
        {"SpeedButton6", "Save Memory Map", "Save Memory Map", false, "saveMemoryMap", P::ToolBar2},
        // Menu "File".
        {"LoadFile1", "Add file", "", true, "addFile", P::MainMenu},
        {"OpenTable", "Open Table", "", true, "openTable", P::MainMenu},
        {"N20", "Open Memory Map", "", true, "openMemoryMap", P::MainMenu},
        {"CloseFile", "Remove file", "", false, "removeFile", P::MainMenu},
        {"ClearList", "Close file list", "", false, "closeFileList", P::MainMenu},
        {"SaveList", "Save file list", "", false, "saveListAs", P::MainMenu},
        {"SaveMap", "Save Memory Map", "", false, "saveMemoryMap", P::MainMenu},
        {"Exit", "Exit", "", true, "exitProgram", P::MainMenu},
        // Menu "Address".
        {"Insert1", "Insert", "", false, "", P::MainMenu},
        {"StartAdress1", "Start Address", "", true, "editStartAddress", P::SubMenu},
        {"StopAdress1", "Stop Address", "", true, "editStopAddress", P::SubMenu},
        {"Remove1", "Remove", "", false, "", P::MainMenu},
        {"StartAdress2", "Start Address", "", true, "removeStartAddress", P::SubMenu},
        {"StopAdress2", "Stop Address", "", true, "removeStopAddress", P::SubMenu},
        {"CopyFromMap", "Copy from Memory Map", "", false, "", P::MainMenu},
        {"StartAdress3", "Start Address", "", true, "copyStartFromMap", P::SubMenu},
        {"StopAdress3", "Stop Address", "", true, "copyStopFromMap", P::SubMenu},
        {"Table1", "Table", "", true, "copyTableFromMap", P::SubMenu},
        {"ChangecurrentISDadress1", "Change current ISD address", "", true, "changeCurrentAddress",
         P::MainMenu},
        // Menu "Recording".
        {"RecordfiletoISD1", "Record file to ISD", "", false, "recordFile", P::MainMenu},
        {"RecTable", "Record table to ISD", "", false, "recordTable", P::MainMenu},
        {"PlayFile", "Play file", "", false, "playFile", P::MainMenu},
        {"Stop2", "Stop", "", false, "stopPlayback", P::MainMenu},
        // Menu "ISD".
        {"Loadlist2", "Play", "", true, "playFromChip", P::MainMenu},
        {"Playtable1", "Play Table", "", true, "playTable", P::MainMenu},
        {"StopISD", "Stop", "", false, "stopChip", P::MainMenu},
        {"PlayfromISD2", "Memory Scan", "", true, "memoryScan", P::MainMenu},
        {"CheckRecords1", "Check records", "", false, "checkRecords", P::MainMenu},
        {"PowerUp", "Power up", "", true, "powerUp", P::MainMenu},
        {"PowerDown", "Power down", "", true, "powerDown", P::MainMenu},
        {"Erase1", "Erase", "", true, "erase", P::MainMenu},
        // Menu "Setup".
        {"ChangePort", "Change comm port", "", true, "choosePort", P::MainMenu},
        {"ChangeIsd", "Change ISD device", "", true, "chooseChipType", P::MainMenu},
        // "About" is a menu title that is itself the command.
        {"ABOUT1", "About", "", true, "showAbout", P::MainMenu},
        // Context menu of the file table.
        {"Insert2", "Insert", "", true, "insertFile", P::PopupMenu},
        {"Delete", "Delete", "", false, "removeFile", P::PopupMenu},
        {"Startadress4", "Start address", "", false, "", P::PopupMenu},
        {"Edit1", "Edit", "", true, "editStartAddress", P::SubMenu},
        {"Remove2", "Remove", "", true, "removeStartAddress", P::SubMenu},
        {"Stopadress4", "Stop address", "", false, "", P::PopupMenu},
        {"Edit2", "Edit", "", true, "editStopAddress", P::SubMenu},
        {"Remove3", "Remove", "", true, "removeStopAddress", P::SubMenu},
        // Planning the chip: addresses from the files' lengths, and the
        // addresses as a C header for firmware.
        {"PlanAddresses", "Plan addresses", "", true, "planAddresses", P::MainMenu},
        {"ExportAddresses", "Export addresses...", "", true, "exportAddresses", P::MainMenu},
        // Everyday use: the lists and maps opened lately (submenus of "File",
        // filled as files are opened and saved), the serial log window
        // (menu "View"), F2 on a start or stop cell of the file table and
        // the key that opens the file table's context menu.
        {"RecentLists", "Recent lists", "", true, "", P::MainMenu},
        {"RecentMaps", "Recent maps", "", true, "", P::MainMenu},
        {"SerialLog", "Serial log", "", true, "showSerialLog", P::MainMenu},
        {"EditAddress", "Edit address", "", true, "editAddressCell", P::FileGrid},
        {"OpenPopupMenu", "Context menu", "", true, "showFileTableMenu", P::FileGrid},
        // Switched along with the others by the link, but never shown.
        {"skanuj_ISD", "Scan ISD", "", true, "", P::Hidden},
        {"SaveFileList1", "Save file list", "", false, "", P::Hidden},
        {"Clearlist1", "Close file list", "", false, "", P::Hidden},
        {"InsertStop", "Insert stop address", "", false, "", P::Hidden},
    };
    return table;
}

Commands::Commands(QObject* parent) : QObject(parent) {
    for (const Control& control : controls()) {
        auto* act = new QAction(QString::fromLatin1(control.caption), this);
        const QString name = QString::fromLatin1(control.name);
        act->setObjectName(name);
        const QString hint = QString::fromLatin1(control.hint);
        if (!hint.isEmpty()) {
            act->setToolTip(hint);
            act->setStatusTip(hint);
        }
        act->setEnabled(control.enabledAtStart);
        const QString handler = QString::fromLatin1(control.handler);
        if (!handler.isEmpty())
            connect(act, &QAction::triggered, this, [this, handler] { emit triggered(handler); });
        actions.insert(name, act);
        ordered.append(act);
    }
}

QAction* Commands::action(const QString& name) const {
    QAction* act = actions.value(name);
    if (act == nullptr)
        throw AppError(QStringLiteral("No command named %1").arg(name));
    return act;
}

void Commands::setEnabled(std::initializer_list<const char*> names, bool enabled) {
    for (const char* name : names)
        action(QString::fromLatin1(name))->setEnabled(enabled);
}

QList<QAction*> Commands::all() const {
    return ordered;
}
