#pragma once

#include "chips/chipcontrol.h"
#include "core/availability.h"
#include "core/commands.h"
#include "core/filedialog.h"
#include "core/folders.h"
#include "core/handlertable.h"
#include "core/paneltexts.h"
#include "core/stringgrid.h"
#include "core/tablelayout.h"
#include "link/commandframe.h"
#include "link/linkstate.h"

#include <QString>
#include <QStringList>

class ComPort;
class MediaPlayer;
class Prompter;

// Everything the program's rules work on, without a widget in sight: the two
// tables, the bottom panel's texts, every command, the one command frame, the
// link's flags, the chip type, the remembered folders and the file dialogs'
// state, with the outside world (port, player, prompter) they talk to. The
// main window shows it; the tests look here; a front end without widgets can
// drive it through its commands.
class ProgramState {
public:
    // `player` may be null: then nothing can be played or recorded.
    ProgramState(ComPort& port, MediaPlayer* player, Prompter& prompter);
    ProgramState(const ProgramState&) = delete;
    ProgramState& operator=(const ProgramState&) = delete;

    // The contents at start: tables with headers and row numbers, the
    // commands' start state, the link idle, the frame all 0xFF, and the
    // remembered folders from the settings file at `configPath`.
    void setUp(const QString& configPath);

    // The settings file's lines as they would be written now.
    QStringList settingsLines(bool autoOpen) const;

    // The outside world.
    ComPort& port;
    MediaPlayer* player;
    Prompter& prompter;

    // What the window shows.
    Commands commands;
    // The operation each command runs.
    HandlerTable handlers;
    PanelTexts panel;
    StringGrid fileGrid{FileColumn::Count, TableLayout::StartRows};
    StringGrid mapGrid{MapColumn::Count, TableLayout::StartRows};

    // The link to the programmer and the chip in it.
    CommandFrame frame;
    LinkContext link;
    ChipControl chip;
    CommandAvailability availability;

    // The file dialogs and the files they chose.
    RememberedFolders folders;
    FileDialog openDialog;
    FileDialog saveDialog;
    QString listFileName;
    int soundFileType = 0; // 0 all sound files, 1 WAV, 2 MIDI
};
