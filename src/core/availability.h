#pragma once

class Commands;
class StringGrid;

// Which commands are enabled. Commands are switched in fixed sets at each
// transition, never computed on demand; two rules look at the tables.
class CommandAvailability {
public:
    CommandAvailability(Commands& commands, const StringGrid& fileGrid, const StringGrid& mapGrid);

    // The file-table commands follow whether the file table holds a file.
    void UpdateMenu();
    // The memory-map commands follow whether the map holds a record.
    void UpdateMapCommands();

    // The sets that start-up applies.
    void applyStartState();
    // Local playback has started.
    void localPlaybackStarted();
    // Local playback was stopped by "Stop" while playing.
    void localPlaybackStopped();
    // The player reported the end of playback.
    void playbackEnded();
    // "Close file list": leaves the context menu as it stands.
    void fileListClosed();
    // A memory map file has been loaded.
    void mapLoaded();

    bool fileTableHoldsFile() const;
    bool mapHoldsRecord() const;

private:
    Commands& commands;
    const StringGrid& fileGrid;
    const StringGrid& mapGrid;
};
