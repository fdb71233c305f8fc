#include "commands.h"

#include "apperror.h"

namespace {
using C = Control;
using H = Handler;
using P = Commands::Place;
} // namespace

const std::vector<Commands::Row>& Commands::controls() {
    // clang-format off
    static const std::vector<Row> table = {
        // Tool bar of "Sound Files".
        {C::PlayFileButton, "OdtwarzajPlik", "Play File", "Play File", false, H::PlayFile, P::ToolBar1},
        {C::RecordFileButton, "RecordISD", "Record File to ISD", "Record File to ISD", false, H::RecordFile, P::ToolBar1},
        {C::StopPlaybackButton, "SpeedButton7", "Stop", "Stop", false, H::StopPlayback, P::ToolBar1},
        {C::AddFileButton, "SpeedButton2", "Add File", "Add File", true, H::AddFile, P::ToolBar1},
        {C::RemoveFileButton, "DeletePlik", "Remove File", "Remove File", false, H::RemoveFile, P::ToolBar1},
        {C::LoadFileListButton, "SpeedButton4", "Load File List", "Load File List", true, H::OpenTable, P::ToolBar1},
        {C::SaveFileListButton, "SpeedButton5", "Save File List", "Save File List", false, H::SaveList, P::ToolBar1},
        // Tool bar of "ISD Memory Map".
        {C::PlayFromChipButton, "SpeedButton8", "Play from ISD", "Play from ISD", true, H::PlayFromChip, P::ToolBar2},
        {C::StopChipButton, "SpeedButton1", "Stop", "Stop", false, H::StopChip, P::ToolBar2},
        {C::LoadMemoryMapButton, "SpeedButton3", "Load Memory Map", "Load Memory Map", true, H::OpenMemoryMap, P::ToolBar2},
        {C::SaveMemoryMapButton, "SpeedButton6", "Save Memory Map", "Save Memory Map", false, H::SaveMemoryMap, P::ToolBar2},
        // Menu "File".
        {C::AddFileItem, "LoadFile1", "Add file", "", true, H::AddFile, P::MainMenu},
        {C::OpenTableItem, "OpenTable", "Open Table", "", true, H::OpenTable, P::MainMenu},
        {C::OpenMemoryMapItem, "N20", "Open Memory Map", "", true, H::OpenMemoryMap, P::MainMenu},
        {C::RemoveFileItem, "CloseFile", "Remove file", "", false, H::RemoveFile, P::MainMenu},
        {C::CloseFileListItem, "ClearList", "Close file list", "", false, H::CloseFileList, P::MainMenu},
        {C::SaveFileListItem, "SaveList", "Save file list", "", false, H::SaveListAs, P::MainMenu},
        {C::SaveMemoryMapItem, "SaveMap", "Save Memory Map", "", false, H::SaveMemoryMap, P::MainMenu},
        {C::ExitItem, "Exit", "Exit", "", true, H::ExitProgram, P::MainMenu},
        // Menu "Address".
        {C::InsertMenu, "Insert1", "Insert", "", false, H::None, P::MainMenu},
        {C::InsertStartAddressItem, "StartAdress1", "Start Address", "", true, H::EditStartAddress, P::SubMenu},
        {C::InsertStopAddressItem, "StopAdress1", "Stop Address", "", true, H::EditStopAddress, P::SubMenu},
        {C::RemoveMenu, "Remove1", "Remove", "", false, H::None, P::MainMenu},
        {C::RemoveStartAddressItem, "StartAdress2", "Start Address", "", true, H::RemoveStartAddress, P::SubMenu},
        {C::RemoveStopAddressItem, "StopAdress2", "Stop Address", "", true, H::RemoveStopAddress, P::SubMenu},
        {C::CopyFromMapMenu, "CopyFromMap", "Copy from Memory Map", "", false, H::None, P::MainMenu},
        {C::CopyStartAddressItem, "StartAdress3", "Start Address", "", true, H::CopyStartFromMap, P::SubMenu},
        {C::CopyStopAddressItem, "StopAdress3", "Stop Address", "", true, H::CopyStopFromMap, P::SubMenu},
        {C::CopyTableItem, "Table1", "Table", "", true, H::CopyTableFromMap, P::SubMenu},
        {C::ChangeCurrentAddressItem, "ChangecurrentISDadress1", "Change current ISD address", "", true, H::ChangeCurrentAddress, P::MainMenu},
        // Menu "Recording".
        {C::RecordFileItem, "RecordfiletoISD1", "Record file to ISD", "", false, H::RecordFile, P::MainMenu},
        {C::RecordTableItem, "RecTable", "Record table to ISD", "", false, H::RecordTable, P::MainMenu},
        {C::PlayFileItem, "PlayFile", "Play file", "", false, H::PlayFile, P::MainMenu},
        {C::StopPlaybackItem, "Stop2", "Stop", "", false, H::StopPlayback, P::MainMenu},
        // Menu "ISD".
        {C::PlayFromChipItem, "Loadlist2", "Play", "", true, H::PlayFromChip, P::MainMenu},
        {C::PlayTableItem, "Playtable1", "Play Table", "", true, H::PlayTable, P::MainMenu},
        {C::StopChipItem, "StopISD", "Stop", "", false, H::StopChip, P::MainMenu},
        {C::MemoryScanItem, "PlayfromISD2", "Memory Scan", "", true, H::MemoryScan, P::MainMenu},
        {C::CheckRecordsItem, "CheckRecords1", "Check records", "", false, H::CheckRecords, P::MainMenu},
        {C::PowerUpItem, "PowerUp", "Power up", "", true, H::PowerUp, P::MainMenu},
        {C::PowerDownItem, "PowerDown", "Power down", "", true, H::PowerDown, P::MainMenu},
        {C::EraseItem, "Erase1", "Erase", "", true, H::Erase, P::MainMenu},
        // Menu "Setup".
        {C::ChangePortItem, "ChangePort", "Change comm port", "", true, H::ChoosePort, P::MainMenu},
        {C::ChangeChipTypeItem, "ChangeIsd", "Change ISD device", "", true, H::ChooseChipType, P::MainMenu},
        // The output the recording plays to, beyond the classic controls.
        {C::SoundOutputItem, "SoundOutput", "Sound output...", "", true, H::ChooseSoundOutput, P::MainMenu},
        // "About" is a menu title that is itself the command.
        {C::AboutItem, "ABOUT1", "About", "", true, H::ShowAbout, P::MainMenu},
        // Context menu of the file table.
        {C::InsertFilePopupItem, "Insert2", "Insert", "", true, H::InsertFile, P::PopupMenu},
        {C::DeleteFilePopupItem, "Delete", "Delete", "", false, H::RemoveFile, P::PopupMenu},
        {C::StartAddressPopupMenu, "Startadress4", "Start address", "", false, H::None, P::PopupMenu},
        {C::EditStartAddressPopupItem, "Edit1", "Edit", "", true, H::EditStartAddress, P::SubMenu},
        {C::RemoveStartAddressPopupItem, "Remove2", "Remove", "", true, H::RemoveStartAddress, P::SubMenu},
        {C::StopAddressPopupMenu, "Stopadress4", "Stop address", "", false, H::None, P::PopupMenu},
        {C::EditStopAddressPopupItem, "Edit2", "Edit", "", true, H::EditStopAddress, P::SubMenu},
        {C::RemoveStopAddressPopupItem, "Remove3", "Remove", "", true, H::RemoveStopAddress, P::SubMenu},
        // Planning the chip: addresses from the files' lengths, and the
        // addresses as a C header for firmware.
        {C::PlanAddressesItem, "PlanAddresses", "Plan addresses", "", true, H::PlanAddresses, P::MainMenu},
        {C::ExportAddressesItem, "ExportAddresses", "Export addresses...", "", true, H::ExportAddresses, P::MainMenu},
        // Everyday use: the lists and maps opened lately (submenus of "File",
        // filled as files are opened and saved), the serial log window (menu
        // "View"), and two keys of the file table: F2 on a start or stop cell,
        // and the one that opens its context menu.
        {C::RecentListsMenu, "RecentLists", "Recent lists", "", true, H::None, P::MainMenu},
        {C::RecentMapsMenu, "RecentMaps", "Recent maps", "", true, H::None, P::MainMenu},
        {C::SerialLogItem, "SerialLog", "Serial log", "", true, H::ShowSerialLog, P::MainMenu},
        {C::EditAddressKey, "EditAddress", "Edit address", "", true, H::EditAddressCell, P::FileGrid},
        {C::PopupMenuKey, "OpenPopupMenu", "Context menu", "", true, H::ShowFileTableMenu, P::FileGrid},
        // Switched along with the others by the link, but never shown.
        {C::ScanChipHidden, "skanuj_ISD", "Scan ISD", "", true, H::None, P::Hidden},
        {C::SaveFileListHidden, "SaveFileList1", "Save file list", "", false, H::None, P::Hidden},
        {C::CloseFileListHidden, "Clearlist1", "Close file list", "", false, H::None, P::Hidden},
        {C::InsertStopHidden, "InsertStop", "Insert stop address", "", false, H::None, P::Hidden},
    };
    // clang-format on
    return table;
}

const Commands::Row& Commands::row(Control control) {
    const std::vector<Row>& table = controls();
    const auto at = std::size_t(control);
    if (at >= table.size() || table[at].control != control)
        throw AppError(QStringLiteral("The command table is out of order at row %1").arg(at));
    return table[at];
}

Commands::Commands(QObject* parent) : QObject(parent) {
    for (const Row& control : controls()) {
        row(control.control); // the table must be in the order of Control
        auto* act = new QAction(QString::fromLatin1(control.caption), this);
        const QString name = QString::fromLatin1(control.name);
        act->setObjectName(name);
        const QString hint = QString::fromLatin1(control.hint);
        if (!hint.isEmpty()) {
            act->setToolTip(hint);
            act->setStatusTip(hint);
        }
        act->setEnabled(control.enabledAtStart);
        const Handler handler = control.handler;
        if (handler != Handler::None)
            connect(act, &QAction::triggered, this, [this, handler] { emit triggered(handler); });
        byName.insert(name, act);
        ordered.append(act);
    }
    if (ordered.size() != qsizetype(Control::Count))
        throw AppError(QStringLiteral("The command table does not hold every control"));
}

QAction* Commands::action(Control control) const {
    return ordered.at(qsizetype(control));
}

QAction* Commands::action(const QString& name) const {
    QAction* act = byName.value(name);
    if (act == nullptr)
        throw AppError(QStringLiteral("No command named %1").arg(name));
    return act;
}

void Commands::setEnabled(std::initializer_list<Control> controls, bool enabled) {
    for (const Control control : controls)
        action(control)->setEnabled(enabled);
}

QList<QAction*> Commands::all() const {
    return ordered;
}
