#pragma once

#include <QString>
#include <QStringList>

// State of one of the window's two file dialogs ("Open" and "Save"). Like the
// dialogs it stands for, it keeps its file name, filter choice and start folder
// between showings; handlers set what they need before each showing.
struct FileDialog {
    enum class Kind { Open, Save };

    Kind kind = Kind::Open;
    QString title;
    // Filter in the classic form "Text (*.txt)|*.txt|Other (*.x)|*.x".
    QString filter;
    int filterIndex = 1; // 1-based, as the filter pairs are counted
    QString defaultExt;  // without the dot; appended when the name has none
    QString initialDir;
    QString fileName;
    // An open dialog that takes several files at once; fileName is then the
    // first of fileNames.
    bool multiple = false;
    QStringList fileNames;
};
