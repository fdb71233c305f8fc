#pragma once

#include <QString>

struct FileDialog;

// The three folders the file dialogs start in, remembered across runs.
struct RememberedFolders {
    QString SoundFolder;
    QString ListFolder;
    QString MapFolder;

    // Stores the folder of the name the dialog now holds. Kinds 1 to 3 take the
    // open dialog's name and store the folder without its trailing separator
    // (sound, list, map); kinds 4 and 5 take the save dialog's name and keep
    // the separator (list, map). Other kinds, and a name without a folder,
    // change nothing.
    void RememberFolder(int kind, const FileDialog& open, const FileDialog& save);

    // The folder part of a name as kind 1 (trailing = false) or kind 4 stores
    // it; empty when the name holds no separator before its last character.
    static QString folderOf(const QString& name, bool trailing);
};
