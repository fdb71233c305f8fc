#pragma once

#include "core/prompter.h"

class QWidget;

// Message boxes and file dialogs on the screen.
class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr) : parent(parent) {}
    void setParent(QWidget* widget) { parent = widget; }

    void showMessage(const QString& text) override;
    void showError(const QString& text) override;
    bool execute(FileDialog& dialog) override;
    // A message box with the question's buttons; Escape and the close box
    // give the escape button.
    int ask(const Question& question) override;

    // "WAV file (*.wav)|*.wav|MIDI file (*.mid)|*.mid" as Qt name filters.
    static QStringList nameFilters(const QString& filter);

private:
    QWidget* parent;
};
