#pragma once

#include "core/prompter.h"

#include <QList>
#include <QStringList>
#include <functional>

// Records what the program tells the user and answers file dialogs from a
// script a test sets up.
class FakePrompter : public Prompter {
public:
    void showMessage(const QString& text) override {
        messages.append(text);
        if (onMessage)
            onMessage(text);
    }
    void showError(const QString& text) override { errors.append(text); }
    bool execute(FileDialog& dialog) override;

    QStringList messages;
    QStringList errors;
    // Runs while a message is shown, as the world goes on while a box is
    // open.
    std::function<void(const QString&)> whileShown;
    // Answers for the next dialogs, in order: a file name to confirm, or an
    // empty string to cancel. Without an answer the dialog is cancelled.
    QStringList answers;
    // The dialogs as they were when shown.
    QList<FileDialog> shown;
    // Runs for each message once it is recorded (a box on the screen, say).
    std::function<void(const QString&)> onMessage;
};
