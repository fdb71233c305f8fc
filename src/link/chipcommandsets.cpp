#include "chipcommandsets.h"

#include "core/availability.h"
#include "core/commands.h"
#include "core/stringgrid.h"
#include "core/tablelayout.h"
#include "linksession.h"

void ChipCommandSets::EnableChipCommands(Options options) {
    s.commands.setEnabled({Control::PlayFromChipButton, Control::ChangePortItem,
                           Control::ChangeChipTypeItem, Control::MemoryScanItem,
                           Control::PlayTableItem, Control::ScanChipHidden,
                           Control::LoadMemoryMapButton, Control::PlayFromChipItem},
                          true);
    s.commands.setEnabled({Control::StopChipButton, Control::StopChipItem}, false);
    s.commands.setEnabled({Control::CheckRecordsItem},
                          !s.fileGrid.cell(FileColumn::Start, 1).isEmpty());
    if (options.checkOn)
        s.commands.setEnabled({Control::CheckRecordsItem}, true);
    if (options.erase)
        s.commands.setEnabled({Control::EraseItem}, true);
    if (options.map)
        s.availability.UpdateMapCommands();
}

void ChipCommandSets::DisableChipCommands() {
    s.commands.setEnabled({Control::PlayFromChipButton, Control::ChangePortItem,
                           Control::ChangeChipTypeItem, Control::CheckRecordsItem,
                           Control::MemoryScanItem, Control::PlayTableItem, Control::ScanChipHidden,
                           Control::LoadMemoryMapButton, Control::PlayFromChipItem,
                           Control::SaveMemoryMapButton},
                          false);
    s.availability.UpdateMapCommands();
    s.commands.setEnabled({Control::SaveMemoryMapItem}, false);
    s.commands.setEnabled({Control::StopChipButton, Control::StopChipItem}, true);
}

void ChipCommandSets::UpdateFileCommands() {
    const bool b = !s.fileGrid.cell(FileColumn::File, 1).isEmpty();
    s.commands.setEnabled(
        {Control::PlayFileButton, Control::RecordFileButton, Control::RemoveFileButton}, b);
    s.availability.UpdateMapCommands();
    s.commands.setEnabled({Control::CloseFileListItem, Control::RemoveFileItem,
                           Control::SaveFileListButton, Control::SaveFileListItem,
                           Control::SaveFileListHidden, Control::CheckRecordsItem,
                           Control::CloseFileListHidden, Control::InsertStopHidden,
                           Control::InsertMenu, Control::RemoveMenu, Control::RecordFileItem,
                           Control::PlayFileItem, Control::RecordTableItem},
                          b);
}

void ChipCommandSets::LockDuringProgress() {
    s.commands.setEnabled(
        {Control::PlayFileButton,      Control::RecordFileButton,   Control::RemoveFileButton,
         Control::CloseFileListItem,   Control::RemoveFileItem,     Control::SaveFileListButton,
         Control::SaveFileListItem,    Control::SaveFileListHidden, Control::CheckRecordsItem,
         Control::CloseFileListHidden, Control::InsertStopHidden,   Control::InsertMenu,
         Control::RemoveMenu,          Control::CopyFromMapMenu,    Control::RecordFileItem,
         Control::PlayFileItem,        Control::RecordTableItem,    Control::PlayFromChipButton,
         Control::ChangePortItem,      Control::ChangeChipTypeItem, Control::MemoryScanItem,
         Control::PlayTableItem,       Control::ScanChipHidden,     Control::LoadMemoryMapButton,
         Control::PlayFromChipItem,    Control::EraseItem},
        false);
    s.commands.setEnabled({Control::StopChipButton, Control::StopChipItem}, true);
}

void ChipCommandSets::LockLocalPlay() {
    s.commands.setEnabled({Control::StopPlaybackButton, Control::StopPlaybackItem}, true);
    s.commands.setEnabled({Control::PlayFileButton, Control::RecordFileItem,
                           Control::RecordTableItem, Control::PlayFileItem,
                           Control::RecordFileButton},
                          false);
}

void ChipCommandSets::setTableStepCommands(bool enabled) {
    s.commands.setEnabled({Control::PlayFromChipButton, Control::ChangePortItem,
                           Control::ChangeChipTypeItem, Control::CheckRecordsItem},
                          enabled);
}
