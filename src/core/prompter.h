#pragma once

#include "filedialog.h"

#include <QString>

// Everything that asks or tells the user goes through here, so that the
// logic can be tested without a window popping up.
class Prompter {
public:
    virtual ~Prompter();

    // A plain message box with the application title and an OK button.
    virtual void showMessage(const QString& text) = 0;
    // The standard error box for a failure raised inside a handler.
    virtual void showError(const QString& text) = 0;
    // Runs an open or save dialog; true when the user confirmed a name, which
    // is then in dialog.fileName. The dialog keeps its state between runs.
    virtual bool execute(FileDialog& dialog) = 0;
};
