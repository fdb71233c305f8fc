#pragma once

#include "tablescontext.h"

#include <QString>

// Keeping the file table in a file list (".lsp"): loading one, saving to the
// list the table belongs to, and saving under a new name.
class FileList {
public:
    explicit FileList(TablesContext& context);

    void openTable();
    // Open Table with the name given instead of chosen in the dialog (a
    // dropped list, a recent one).
    void openTableFile(const QString& name);
    void saveList();
    void saveListAs();

    // Writes the table's entries up to the first row without a stop text.
    // False, with the user told why, when the file could not be written;
    // the previous file, if any, is then left as it was.
    bool WriteFileList(const QString& name);
    // Address cells that are no whole number become "not used".
    void CheckAddressCells();

    enum class ListLoad {
        Complete,
        // A line was not a file list line; the lines before it are loaded.
        BadFormat,
        // The file could not be opened (the user has been told why); the
        // table is as it was.
        NotOpened,
    };
    // Loads a file list into the table.
    ListLoad readFileList(const QString& name);

private:
    // The load of a chosen list, and the steps that follow whether or not
    // one was chosen.
    ListLoad load(const QString& name);
    void finishOpening();
    void prepareSaveDialog();
    // The name the user confirmed in the save dialog, with the default
    // extension added to a name typed without one.
    bool askForSaveName(QString& name);

    TablesContext& ctx;
};
