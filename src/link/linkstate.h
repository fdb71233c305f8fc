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
};
