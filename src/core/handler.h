#pragma once

// The operations the commands run. A command table row names one of these,
// and each subsystem registers the operation under it (HandlerTable), so a
// misspelt handler does not compile, and a test proves every one is
// registered. The method that does the work carries the same name (addFile is
// FileTable::addFile); docs/NAMES.md lists them with their controls.
enum class Handler {
    None, // a submenu's holder, or a control that is only switched
    // File table (files/filetable.h) and file lists (files/filelist.h).
    AddFile,
    InsertFile,
    RemoveFile,
    CloseFileList,
    EditStartAddress,
    EditStopAddress,
    RemoveStartAddress,
    RemoveStopAddress,
    FileRowClicked,
    OpenTable,
    SaveList,
    SaveListAs,
    // Memory map (map/).
    OpenMemoryMap,
    SaveMemoryMap,
    MapRowClicked,
    CopyStartFromMap,
    CopyStopFromMap,
    CopyTableFromMap,
    // Local playback (files/localplayback.h).
    PlayFile,
    StopPlayback,
    PlaybackEnded,
    // Chip operations and recording (link/).
    PlayFromChip,
    PlayTable,
    StopChip,
    MemoryScan,
    CheckRecords,
    Erase,
    PowerUp,
    PowerDown,
    ChangeCurrentAddress,
    RecordFile,
    RecordTable,
    // Planning (app/wire_plan.cpp over plan/).
    PlanAddresses,
    ExportAddresses,
    // The window's own (app/mainwindow.h).
    ExitProgram,
    ShowAbout,
    ChoosePort,
    ChooseChipType,
    ChooseSoundOutput,
    // Everyday use (app/wire_everyday.cpp).
    ShowSerialLog,
    EditAddressCell,
    ShowFileTableMenu,
    Count
};

// The handler's name, as its method is called: "addFile"; "" for None.
const char* handlerName(Handler handler);
