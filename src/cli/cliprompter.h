#pragma once

#include "core/prompter.h"

#include <QString>
#include <QStringList>
#include <functional>

// The command-line program's answer to everything the window shows in a box:
// each message is passed on at once (the programmer's lane prints it on
// standard error with its port and decides what it means for the run), and
// kept for the result. File dialogs are answered with the name given on the
// command line for that kind of dialog, or cancelled.
class CliPrompter : public Prompter {
public:
    struct Message {
        QString text;
        bool error = false; // from the standard error box (a failure inside a handler)
    };

    void showMessage(const QString& text) override;
    void showError(const QString& text) override;
    bool execute(FileDialog& dialog) override;

    // The next open or save dialog is answered with this name; empty cancels.
    void answerOpen(const QString& name) { openName = name; }
    void answerSave(const QString& name) { saveName = name; }

    std::function<void(const Message&)> onMessage;
    const QList<Message>& messages() const { return shown; }
    QStringList texts() const;

private:
    void tell(const Message& message);

    QList<Message> shown;
    QString openName;
    QString saveName;
};
