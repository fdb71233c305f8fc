#pragma once

#include "core/prompter.h"

#include <QList>
#include <QStringList>
#include <functional>

// Records what the program tells the user and answers file dialogs and
// questions from a script a test sets up.
class FakePrompter : public Prompter {
public:
    void showMessage(const QString& text) override {
        messages.append(text);
        if (onMessage)
            onMessage(text);
    }
    void showError(const QString& text) override { errors.append(text); }
    bool execute(FileDialog& dialog) override;
    int ask(const Question& question) override;

    QStringList messages;
    QStringList errors;
    // Runs while a message is shown, as the world goes on while a box is
    // open.
    std::function<void(const QString&)> whileShown;
    // Answers for the next dialogs, in order: a file name to confirm, or an
    // empty string to cancel. A dialog that takes several files takes names
    // separated by a NUL character, which no file name holds (a line break
    // may be in one). Without an answer the dialog is cancelled.
    QStringList answers;
    // The dialogs as they were when shown.
    QList<FileDialog> shown;
    // Answers for the next questions, in order, by button text. Without one
    // the question is answered as the program went on before it asked.
    QStringList choices;
    // The questions as they were asked.
    QList<Question> asked;
    // Runs for each message once it is recorded (a box on the screen, say).
    std::function<void(const QString&)> onMessage;
};
