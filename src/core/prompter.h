#pragma once

#include "filedialog.h"

#include <QString>
#include <QStringList>

// Everything that asks or tells the user goes through here, so that the
// logic can be tested without a window popping up.
class Prompter {
public:
    // A question with buttons, asked before something that cannot be undone.
    struct Question {
        QString text;
        QStringList buttons;
        // The button Enter presses and the one Escape and the close box press.
        int defaultButton = 0;
        int escapeButton = 0;
        // The answer that carries on as the program did before it asked: a
        // front end with nobody to ask takes it.
        int carryOn = 0;
    };

    virtual ~Prompter();

    // A plain message box with the application title and an OK button.
    virtual void showMessage(const QString& text) = 0;
    // The standard error box for a failure raised inside a handler.
    virtual void showError(const QString& text) = 0;
    // Runs an open or save dialog; true when the user confirmed a name, which
    // is then in dialog.fileName (and every name in dialog.fileNames). The
    // dialog keeps its state between runs.
    virtual bool execute(FileDialog& dialog) = 0;
    // The index of the button the user chose.
    virtual int ask(const Question& question) { return question.carryOn; }
};
