#pragma once

class TFormularz;

// Where each subsystem connects its handlers to the main window's commands
// (TFormularz::setHandler) and its signals. One file a subsystem, so that the
// window itself holds no rules.
void wireFileTables(TFormularz& window); // wire_files.cpp: file table, list files, memory map
void wirePlayback(TFormularz& window);   // wire_player.cpp: local playback
void wireLink(TFormularz& window);       // wire_link.cpp: the port's errors and state
void wireChipOperations(TFormularz& window); // wire_chip.cpp: chip operations and replies
void wireStatus(TFormularz& window);         // wire_status.cpp: the status bar
void wirePlan(TFormularz& window);   // wire_plan.cpp: lengths, fit, plan, export, verify, picture
