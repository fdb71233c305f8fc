#pragma once

#include <QtGlobal>

// Which chip operation runs, and the flags and values the operations share.
struct LinkContext {
    enum State {
        StatePlaying = 1,
        StateRecording = 2,
        StateIdle = 3,
        StateScanning = 4,
        StatePlayingTable = 5,
        StateRecordingTable = 11,
        StateErasing = 22,
        StateChecking = 44,
    };

    int LinkState = StateIdle;
    bool StopRequested = true;
    bool IgnorePlayEnd = false;
    quint8 PowerSetting = 0;
    quint16 CurrentAddress = 0;
    quint16 ReplyAddress = 0;
    int TableRow = 1;

    // What the link has seen, for the status bar and the watchdog. Counters
    // only grow; an observer compares them with what it saw before.
    quint64 RepliesTaken = 0;      // whole replies handled
    quint64 NoiseBytesDropped = 0; // bytes off the line that were no part of a reply
    int RecordingsConfirmed = 0;   // "1" for a file whose recording had started (":")
    int ErasesConfirmed = 0;       // "1" for an erase of the whole memory
    int OperationsFailed = 0;      // ended by an error reply, an address error or the port closing
    // ":" came for the file being recorded.
    bool RecordingRuns = false;
    // The programmer has not answered for a while during an operation
    // (ReplyWatchdog); the chip's Stop then sends its stop at once.
    bool ProgrammerSilent = false;
};
