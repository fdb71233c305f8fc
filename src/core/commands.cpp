#include "commands.h"

#include "apperror.h"

namespace {
using P = Commands::Place;
}

const std::vector<Commands::Control>& Commands::controls() {
    static const std::vector<Control> table = {
        // Tool bar of "Sound Files".
        {"OdtwarzajPlik", "Play File", "Play File", false, "OdtwarzajClick", P::ToolBar1},
        {"RecordISD", "Record File to ISD", "Record File to ISD", false, "nagrywaj", P::ToolBar1},
        {"SpeedButton7", "Stop", "Stop", false, "ToolbarButton973Click", P::ToolBar1},
        {"SpeedButton2", "Add File", "Add File", true, "Dodajplik1Click", P::ToolBar1},
        {"DeletePlik", "Remove File", "Remove File", false, "DeletePlikClick", P::ToolBar1},
        {"SpeedButton4", "Load File List", "Load File List", true, "adujlist1Click", P::ToolBar1},
        {"SpeedButton5", "Save File List", "Save File List", false, "Zapisz", P::ToolBar1},
        // Tool bar of "ISD Memory Map".
        {"SpeedButton8", "Play from ISD", "Play from ISD", true, "PlayISDClick", P::ToolBar2},
        {"SpeedButton1", "Stop", "Stop", false, "SpeedButton1Click", P::ToolBar2},
        {"SpeedButton3", "Load Memory Map", "Load Memory Map", true, "SpeedButton3Click",
         P::ToolBar2},
        {"SpeedButton6", "Save Memory Map", "Save Memory Map", false, "SpeedButton6Click",
         P::ToolBar2},
        // Menu "File".
        {"LoadFile1", "Add file", "", true, "Dodajplik1Click", P::MainMenu},
        {"OpenTable", "Open Table", "", true, "adujlist1Click", P::MainMenu},
        {"N20", "Open Memory Map", "", true, "SpeedButton3Click", P::MainMenu},
        {"CloseFile", "Remove file", "", false, "DeletePlikClick", P::MainMenu},
        {"ClearList", "Close file list", "", false, "Clearlist1Click", P::MainMenu},
        {"SaveList", "Save file list", "", false, "ZapiszJako", P::MainMenu},
        {"SaveMap", "Save Memory Map", "", false, "SpeedButton6Click", P::MainMenu},
        {"Exit", "Exit", "", true, "ExitClick", P::MainMenu},
        // Menu "Address".
        {"Insert1", "Insert", "", false, "", P::MainMenu},
        {"StartAdress1", "Start Address", "", true, "Startadress1Click", P::SubMenu},
        {"StopAdress1", "Stop Address", "", true, "Stopadress1Click", P::SubMenu},
        {"Remove1", "Remove", "", false, "", P::MainMenu},
        {"StartAdress2", "Start Address", "", true, "Deletefilestartadres1Click", P::SubMenu},
        {"StopAdress2", "Stop Address", "", true, "Deletefilestopadres1Click", P::SubMenu},
        {"CopyFromMap", "Copy from Memory Map", "", false, "", P::MainMenu},
        {"StartAdress3", "Start Address", "", true, "StartAdress3Click", P::SubMenu},
        {"StopAdress3", "Stop Address", "", true, "StopAdress3Click", P::SubMenu},
        {"Table1", "Table", "", true, "Table1Click", P::SubMenu},
        {"ChangecurrentISDadress1", "Change current ISD address", "", true, "WstawadresISD1Click",
         P::MainMenu},
        // Menu "Recording".
        {"RecordfiletoISD1", "Record file to ISD", "", false, "nagrywaj", P::MainMenu},
        {"RecTable", "Record table to ISD", "", false, "RecordFileList1Click", P::MainMenu},
        {"PlayFile", "Play file", "", false, "OdtwarzajClick", P::MainMenu},
        {"Stop2", "Stop", "", false, "ToolbarButton973Click", P::MainMenu},
        // Menu "ISD".
        {"Loadlist2", "Play", "", true, "PlayISDClick", P::MainMenu},
        {"Playtable1", "Play Table", "", true, "Playtable1Click", P::MainMenu},
        {"StopISD", "Stop", "", false, "SpeedButton1Click", P::MainMenu},
        {"PlayfromISD2", "Memory Scan", "", true, "PrzegldajpamiISD1Click", P::MainMenu},
        {"CheckRecords1", "Check records", "", false, "CheckRecords1Click", P::MainMenu},
        {"PowerUp", "Power up", "", true, "ISDPowerUClick", P::MainMenu},
        {"PowerDown", "Power down", "", true, "ISDPowerDClick", P::MainMenu},
        {"Erase1", "Erase", "", true, "Erase1Click", P::MainMenu},
        // Menu "Setup".
        {"ChangePort", "Change comm port", "", true, "Wybierzport1Click", P::MainMenu},
        {"ChangeIsd", "Change ISD device", "", true, "Wybierzukad1Click", P::MainMenu},
        // "About" is a menu title that is itself the command.
        {"ABOUT1", "About", "", true, "Autor1Click", P::MainMenu},
        // Context menu of the file table.
        {"Insert2", "Insert", "", true, "Insert2Click", P::PopupMenu},
        {"Delete", "Delete", "", false, "DeletePlikClick", P::PopupMenu},
        {"Startadress4", "Start address", "", false, "", P::PopupMenu},
        {"Edit1", "Edit", "", true, "Startadress1Click", P::SubMenu},
        {"Remove2", "Remove", "", true, "Deletefilestartadres1Click", P::SubMenu},
        {"Stopadress4", "Stop address", "", false, "", P::PopupMenu},
        {"Edit2", "Edit", "", true, "Stopadress1Click", P::SubMenu},
        {"Remove3", "Remove", "", true, "Deletefilestopadres1Click", P::SubMenu},
        // Planning the chip: addresses from the files' lengths, and the
        // addresses as a C header for firmware.
        {"PlanAddresses", "Plan addresses", "", true, "PlanAddressesClick", P::MainMenu},
        {"ExportAddresses", "Export addresses...", "", true, "ExportAddressesClick", P::MainMenu},
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
