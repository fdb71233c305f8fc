#pragma once

#include <QByteArray>
#include <QDialog>

class MediaPlayer;
class Prompter;
class QDialogButtonBox;
class QListWidget;

// Setup > Sound output: which of the PC's sound outputs the recordings play
// to (a programmer's audio input hangs on it), the server's default output
// until one is chosen. The choice is kept in the user's configuration
// (OutputDevices) and given to the player for its next file.
class SoundOutputDialog : public QDialog {
    Q_OBJECT
public:
    SoundOutputDialog(MediaPlayer* player, Prompter& prompter, QWidget* parent = nullptr);

    // Lists the outputs present with the current choice marked, shows the
    // dialog; true when a choice was confirmed and kept.
    bool Execute();
    // Fills the list (Execute does it before showing).
    void listOutputs();
    // What Execute does once the modal showing has ended.
    bool conclude(bool confirmed);

    QListWidget* list() const { return outputs; }
    QDialogButtonBox* buttons() const { return box; }

private:
    MediaPlayer* player;
    Prompter& prompter;
    QListWidget* outputs;
    QDialogButtonBox* box;
};
