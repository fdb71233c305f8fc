#include "availability.h"

#include "commands.h"
#include "stringgrid.h"

CommandAvailability::CommandAvailability(Commands& commands_, const StringGrid& files_,
                                         const StringGrid& map_)
    : commands(commands_), fileGrid(files_), mapGrid(map_) {}

// The table has no gaps from row 1 on, so row 1 decides.
bool CommandAvailability::fileTableHoldsFile() const {
    return !fileGrid.cell(3, 1).isEmpty();
}

bool CommandAvailability::mapHoldsRecord() const {
    return !mapGrid.cell(1, 1).isEmpty();
}

void CommandAvailability::UpdateMenu() {
    const bool v = fileTableHoldsFile();
    commands.setEnabled({"OdtwarzajPlik", "RecordISD", "DeletePlik", "Delete"}, v);
    UpdateMapCommands();
    commands.setEnabled({"ClearList", "CloseFile", "SpeedButton5", "SaveList", "CheckRecords1",
                         "Insert1", "Remove1", "RecordfiletoISD1", "PlayFile", "RecTable",
                         "Startadress4", "Stopadress4"},
                        v);
}

void CommandAvailability::UpdateMapCommands() {
    commands.setEnabled({"CopyFromMap"}, fileTableHoldsFile() && mapHoldsRecord());
    commands.setEnabled({"SpeedButton6", "SaveMap"}, mapHoldsRecord());
}

void CommandAvailability::applyStartState() {
    commands.setEnabled(
        {"StopISD", "CopyFromMap", "SaveMap", "ClearList", "CloseFile", "SaveList", "SpeedButton1"},
        false);
    commands.setEnabled({"SpeedButton8"}, true);
    commands.setEnabled({"Stop2", "SpeedButton7", "CheckRecords1", "Insert1", "Remove1",
                         "RecordfiletoISD1", "PlayFile", "RecTable", "Delete", "Startadress4",
                         "Stopadress4"},
                        false);
}

void CommandAvailability::localPlaybackStarted() {
    commands.setEnabled({"SpeedButton7", "Stop2"}, true);
    commands.setEnabled({"OdtwarzajPlik", "RecordISD", "RecordfiletoISD1", "RecTable", "PlayFile"},
                        false);
}

void CommandAvailability::localPlaybackStopped() {
    commands.setEnabled({"SpeedButton7", "Stop2"}, false);
    commands.setEnabled(
        {"RecordISD", "OdtwarzajPlik", "CheckRecords1", "RecordfiletoISD1", "RecTable", "PlayFile"},
        true);
}

void CommandAvailability::playbackEnded() {
    commands.setEnabled({"SpeedButton7", "Stop2"}, false);
    commands.setEnabled(
        {"OdtwarzajPlik", "RecordfiletoISD1", "RecTable", "PlayFile", "RecordISD", "CheckRecords1"},
        true);
}

void CommandAvailability::fileListClosed() {
    commands.setEnabled({"OdtwarzajPlik", "RecordISD", "DeletePlik"}, false);
    UpdateMapCommands();
    commands.setEnabled({"ClearList", "CloseFile", "SpeedButton5", "SaveList", "CheckRecords1",
                         "Insert1", "Remove1", "RecordfiletoISD1", "PlayFile", "RecTable"},
                        false);
}

void CommandAvailability::mapLoaded() {
    UpdateMapCommands();
    commands.setEnabled({"SpeedButton6", "SaveMap"}, mapHoldsRecord());
}
