#include "handler.h"

#include <iterator>

namespace {

struct Named {
    Handler handler;
    const char* name;
};

const Named names[] = {
    {Handler::None, ""},
    {Handler::AddFile, "addFile"},
    {Handler::InsertFile, "insertFile"},
    {Handler::RemoveFile, "removeFile"},
    {Handler::CloseFileList, "closeFileList"},
    {Handler::EditStartAddress, "editStartAddress"},
    {Handler::EditStopAddress, "editStopAddress"},
    {Handler::RemoveStartAddress, "removeStartAddress"},
    {Handler::RemoveStopAddress, "removeStopAddress"},
    {Handler::FileRowClicked, "fileRowClicked"},
    {Handler::OpenTable, "openTable"},
    {Handler::SaveList, "saveList"},
    {Handler::SaveListAs, "saveListAs"},
    {Handler::OpenMemoryMap, "openMemoryMap"},
    {Handler::SaveMemoryMap, "saveMemoryMap"},
    {Handler::MapRowClicked, "mapRowClicked"},
    {Handler::CopyStartFromMap, "copyStartFromMap"},
    {Handler::CopyStopFromMap, "copyStopFromMap"},
    {Handler::CopyTableFromMap, "copyTableFromMap"},
    {Handler::PlayFile, "playFile"},
    {Handler::StopPlayback, "stopPlayback"},
    {Handler::PlaybackEnded, "playbackEnded"},
    {Handler::PlayFromChip, "playFromChip"},
    {Handler::PlayTable, "playTable"},
    {Handler::StopChip, "stopChip"},
    {Handler::MemoryScan, "memoryScan"},
    {Handler::CheckRecords, "checkRecords"},
    {Handler::Erase, "erase"},
    {Handler::PowerUp, "powerUp"},
    {Handler::PowerDown, "powerDown"},
    {Handler::ChangeCurrentAddress, "changeCurrentAddress"},
    {Handler::RecordFile, "recordFile"},
    {Handler::RecordTable, "recordTable"},
    {Handler::PlanAddresses, "planAddresses"},
    {Handler::ExportAddresses, "exportAddresses"},
    {Handler::ExitProgram, "exitProgram"},
    {Handler::ShowAbout, "showAbout"},
    {Handler::ChoosePort, "choosePort"},
    {Handler::ChooseChipType, "chooseChipType"},
    {Handler::ChooseSoundOutput, "chooseSoundOutput"},
    {Handler::ShowSerialLog, "showSerialLog"},
    {Handler::EditAddressCell, "editAddressCell"},
    {Handler::ShowFileTableMenu, "showFileTableMenu"},
};
static_assert(std::size(names) == std::size_t(Handler::Count), "every handler has its name");

} // namespace

const char* handlerName(Handler handler) {
    for (const Named& named : names) {
        if (named.handler == handler)
            return named.name;
    }
    return "";
}
