#include "chipcommandsets.h"

#include "core/availability.h"
#include "core/commands.h"
#include "core/stringgrid.h"
#include "linksession.h"

void ChipCommandSets::EnableChipCommands(Options options) {
    s.commands.setEnabled({"SpeedButton8", "ChangePort", "ChangeIsd", "PlayfromISD2", "Playtable1",
                           "skanuj_ISD", "SpeedButton3", "Loadlist2"},
                          true);
    s.commands.setEnabled({"SpeedButton1", "StopISD"}, false);
    s.commands.setEnabled({"CheckRecords1"}, !s.fileGrid.cell(1, 1).isEmpty());
    if (options.checkOn)
        s.commands.setEnabled({"CheckRecords1"}, true);
    if (options.erase)
        s.commands.setEnabled({"Erase1"}, true);
    if (options.map)
        s.availability.UpdateMapCommands();
}

void ChipCommandSets::DisableChipCommands() {
    s.commands.setEnabled({"SpeedButton8", "ChangePort", "ChangeIsd", "CheckRecords1",
                           "PlayfromISD2", "Playtable1", "skanuj_ISD", "SpeedButton3", "Loadlist2",
                           "SpeedButton6"},
                          false);
    s.availability.UpdateMapCommands();
    s.commands.setEnabled({"SaveMap"}, false);
    s.commands.setEnabled({"SpeedButton1", "StopISD"}, true);
}

void ChipCommandSets::UpdateFileCommands() {
    const bool b = !s.fileGrid.cell(3, 1).isEmpty();
    s.commands.setEnabled({"OdtwarzajPlik", "RecordISD", "DeletePlik"}, b);
    s.availability.UpdateMapCommands();
    s.commands.setEnabled({"ClearList", "CloseFile", "SpeedButton5", "SaveList", "SaveFileList1",
                           "CheckRecords1", "Clearlist1", "InsertStop", "Insert1", "Remove1",
                           "RecordfiletoISD1", "PlayFile", "RecTable"},
                          b);
}

void ChipCommandSets::LockDuringProgress() {
    s.commands.setEnabled({"OdtwarzajPlik", "RecordISD",    "DeletePlik",       "ClearList",
                           "CloseFile",     "SpeedButton5", "SaveList",         "SaveFileList1",
                           "CheckRecords1", "Clearlist1",   "InsertStop",       "Insert1",
                           "Remove1",       "CopyFromMap",  "RecordfiletoISD1", "PlayFile",
                           "RecTable",      "SpeedButton8", "ChangePort",       "ChangeIsd",
                           "PlayfromISD2",  "Playtable1",   "skanuj_ISD",       "SpeedButton3",
                           "Loadlist2",     "Erase1"},
                          false);
    s.commands.setEnabled({"SpeedButton1", "StopISD"}, true);
}

void ChipCommandSets::LockLocalPlay() {
    s.commands.setEnabled({"SpeedButton7", "Stop2"}, true);
    s.commands.setEnabled(
        {"OdtwarzajPlik", "RecordfiletoISD1", "RecTable", "PlayFile", "RecordISD"}, false);
}

void ChipCommandSets::setTableStepCommands(bool enabled) {
    s.commands.setEnabled({"SpeedButton8", "ChangePort", "ChangeIsd", "CheckRecords1"}, enabled);
}
