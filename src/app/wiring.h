#pragma once

class MainWindow;

// Where each subsystem registers its handlers in the program's state
// (ProgramState::handlers) and connects its signals, with what only the window
// can give it (the pages, the views, the caption). One file a subsystem, so
// that the window itself holds no rules. The chip link composes itself
// (link/chiplink.h); wire_chip.cpp only creates it.
void wireFileTables(MainWindow& window);     // wire_files.cpp: file table, list files, memory map
void wirePlayback(MainWindow& window);       // wire_player.cpp: local playback
void wireLink(MainWindow& window);           // wire_link.cpp: the port's errors and state
void wireChipOperations(MainWindow& window); // wire_chip.cpp: chip operations and replies
void wireStatus(MainWindow& window);         // wire_status.cpp: the status bar
void wirePlan(MainWindow& window); // wire_plan.cpp: lengths, fit, plan, export, verify, picture
// wire_everyday.cpp: recent files, drops, unsaved changes, the erase question,
// editing a cell, the serial log
void wireEveryday(MainWindow& window);
