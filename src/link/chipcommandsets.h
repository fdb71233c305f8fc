#pragma once

struct LinkSession;

// The sets of commands the link switches as operations start, progress and
// end. Each is applied in full; nothing is computed on demand.
class ChipCommandSets {
public:
    explicit ChipCommandSets(LinkSession& session) : s(session) {}

    struct Options {
        bool checkOn = false; // "Check records" regardless of the table
        bool erase = false;   // "Erase" as well
        bool map = false;     // then the memory-map commands by their rule
    };

    // The chip commands usable again, the chip Stop commands not.
    void EnableChipCommands(Options options);
    // While a scan or a check runs: only the chip Stop commands.
    void DisableChipCommands();
    // The file-table commands follow whether the table holds a file.
    void UpdateFileCommands();
    // While the programmer reports progress.
    void LockDuringProgress();
    // While the recording's own playback runs.
    void LockLocalPlay();
    // Enables or disables the commands that must wait while a table records.
    void setTableStepCommands(bool enabled);

private:
    LinkSession& s;
};
