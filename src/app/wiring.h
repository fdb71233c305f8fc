#pragma once

class MainWindow;

// Where each subsystem connects its handlers to the main window's commands
// (MainWindow::setHandler) and its signals. One file a subsystem, so that the
// window itself holds no rules.
void wireFileTables(MainWindow& window);     // wire_files.cpp: file table, list files, memory map
void wirePlayback(MainWindow& window);       // wire_player.cpp: local playback
void wireLink(MainWindow& window);           // wire_link.cpp: the port's errors and state
void wireChipOperations(MainWindow& window); // wire_chip.cpp: chip operations and replies
void wireStatus(MainWindow& window);         // wire_status.cpp: the status bar
void wirePlan(MainWindow& window); // wire_plan.cpp: lengths, fit, plan, export, verify, picture
