#pragma once

#include "filerowselect.h"
#include "tablescontext.h"

#include <QStringList>

// Editing the table of sound files: adding, inserting and removing files,
// giving and taking back their start and stop addresses, closing the list.
// Entries stay contiguous from row 1; every file added grows the grid by one
// row, so the table has no upper limit.
class FileTable {
public:
    explicit FileTable(TablesContext& context);

    // Add file and Insert file take one or more files from one dialog.
    void addFile();
    void insertFile();
    // Files dropped on the table: each added as Add file adds it, in order.
    void addDroppedFiles(const QStringList& names);
    void removeFile();
    void editStartAddress();
    void editStopAddress();
    void removeStartAddress();
    void removeStopAddress();
    void closeFileList();
    void fileRowClicked() { rowSelect.fileRowClicked(); }
    void SelectFileRow(int row) { rowSelect.SelectFileRow(row); }

    void NumberFileRows();

    // The sound file dialog's filter: all sound files, then WAV, then MIDI.
    static QString soundFilter();

private:
    // Shows the sound file dialog; true with the chosen names in the dialog.
    // A name that a file list cannot store is refused with a message.
    bool askForSoundFiles();
    // The names a file list can store; each other one is refused with a
    // message.
    QStringList storableOnly(const QStringList& names);
    void putNewFile(int row, const QString& name);
    // Grows the grid and puts a file in the first free row.
    void appendFile(const QString& name);
    // Insert file's steps for one file chosen with row `s` selected; the
    // row it went to.
    int insertOne(int s, const QString& name);
    // The address the user confirmed in the address dialog, or nothing.
    bool askForAddress(int& value);
    void forgetListFile();

    TablesContext& ctx;
    FileRowSelect rowSelect;
};
