#pragma once

#include "filerowselect.h"
#include "tablescontext.h"

// Editing the table of sound files: adding, inserting and removing files,
// giving and taking back their start and stop addresses, closing the list.
// Entries stay contiguous from row 1; every file added grows the grid by one
// row, so the table has no upper limit.
class FileTable {
public:
    explicit FileTable(TablesContext& context);

    void addFile();
    void insertFile();
    void removeFile();
    void editStartAddress();
    void editStopAddress();
    void removeStartAddress();
    void removeStopAddress();
    void closeFileList();
    void fileRowClicked() { rowSelect.fileRowClicked(); }
    void SelectFileRow(int row) { rowSelect.SelectFileRow(row); }

    void NumberFileRows();

private:
    // Shows the sound file dialog; true with the chosen name in the dialog.
    // A name that a file list cannot store is refused with a message.
    bool askForSoundFile();
    void putNewFile(int row, const QString& name);
    // The address the user confirmed in the address dialog, or nothing.
    bool askForAddress(int& value);
    void forgetListFile();

    TablesContext& ctx;
    FileRowSelect rowSelect;
};
