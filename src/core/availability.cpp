#include "availability.h"

#include "commands.h"
#include "core/tablelayout.h"
#include "stringgrid.h"

CommandAvailability::CommandAvailability(Commands& commands_, const StringGrid& files_,
                                         const StringGrid& map_)
    : commands(commands_), fileGrid(files_), mapGrid(map_) {}

// The table has no gaps from row 1 on, so row 1 decides.
bool CommandAvailability::fileTableHoldsFile() const {
    return !fileGrid.cell(FileColumn::File, 1).isEmpty();
}

bool CommandAvailability::mapHoldsRecord() const {
    return !mapGrid.cell(MapColumn::Start, 1).isEmpty();
}

void CommandAvailability::UpdateMenu() {
    const bool v = fileTableHoldsFile();
    commands.setEnabled({Control::PlayFileButton, Control::RecordFileButton,
                         Control::RemoveFileButton, Control::DeleteFilePopupItem},
                        v);
    UpdateMapCommands();
    commands.setEnabled({Control::CloseFileListItem, Control::RemoveFileItem,
                         Control::SaveFileListButton, Control::SaveFileListItem,
                         Control::CheckRecordsItem, Control::InsertMenu, Control::RemoveMenu,
                         Control::RecordFileItem, Control::PlayFileItem, Control::RecordTableItem,
                         Control::StartAddressPopupMenu, Control::StopAddressPopupMenu},
                        v);
}

void CommandAvailability::UpdateMapCommands() {
    commands.setEnabled({Control::CopyFromMapMenu}, fileTableHoldsFile() && mapHoldsRecord());
    commands.setEnabled({Control::SaveMemoryMapButton, Control::SaveMemoryMapItem},
                        mapHoldsRecord());
}

void CommandAvailability::applyStartState() {
    commands.setEnabled({Control::StopChipItem, Control::CopyFromMapMenu,
                         Control::SaveMemoryMapItem, Control::CloseFileListItem,
                         Control::RemoveFileItem, Control::SaveFileListItem,
                         Control::StopChipButton},
                        false);
    commands.setEnabled({Control::PlayFromChipButton}, true);
    commands.setEnabled({Control::StopPlaybackItem, Control::StopPlaybackButton,
                         Control::CheckRecordsItem, Control::InsertMenu, Control::RemoveMenu,
                         Control::RecordFileItem, Control::PlayFileItem, Control::RecordTableItem,
                         Control::DeleteFilePopupItem, Control::StartAddressPopupMenu,
                         Control::StopAddressPopupMenu},
                        false);
}

void CommandAvailability::localPlaybackStarted() {
    commands.setEnabled({Control::StopPlaybackButton, Control::StopPlaybackItem}, true);
    commands.setEnabled({Control::PlayFileButton, Control::RecordFileButton,
                         Control::RecordFileItem, Control::RecordTableItem, Control::PlayFileItem},
                        false);
}

void CommandAvailability::localPlaybackStopped() {
    commands.setEnabled({Control::StopPlaybackButton, Control::StopPlaybackItem}, false);
    commands.setEnabled({Control::RecordFileButton, Control::PlayFileButton,
                         Control::CheckRecordsItem, Control::RecordFileItem,
                         Control::RecordTableItem, Control::PlayFileItem},
                        true);
}

void CommandAvailability::playbackEnded() {
    commands.setEnabled({Control::StopPlaybackButton, Control::StopPlaybackItem}, false);
    commands.setEnabled({Control::PlayFileButton, Control::RecordFileItem, Control::RecordTableItem,
                         Control::PlayFileItem, Control::RecordFileButton,
                         Control::CheckRecordsItem},
                        true);
}

void CommandAvailability::fileListClosed() {
    commands.setEnabled(
        {Control::PlayFileButton, Control::RecordFileButton, Control::RemoveFileButton}, false);
    UpdateMapCommands();
    commands.setEnabled({Control::CloseFileListItem, Control::RemoveFileItem,
                         Control::SaveFileListButton, Control::SaveFileListItem,
                         Control::CheckRecordsItem, Control::InsertMenu, Control::RemoveMenu,
                         Control::RecordFileItem, Control::PlayFileItem, Control::RecordTableItem},
                        false);
}

void CommandAvailability::mapLoaded() {
    UpdateMapCommands();
    commands.setEnabled({Control::SaveMemoryMapButton, Control::SaveMemoryMapItem},
                        mapHoldsRecord());
}
