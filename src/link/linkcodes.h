#pragma once

#include <QtGlobal>

// Byte 0 of a command frame: what the PC asks the programmer to do. Codes 0,
// 9 and 11 and above are never sent.
enum class CommandCode : quint8 {
    Play = 1,
    Record = 2,
    Stop = 3,
    Scan = 4,
    SetChip = 5,
    Continue = 6,
    PowerUp = 7,
    PowerDown = 8,
    Erase = 10,
};

// Byte 0 of a reply frame: what the programmer reports, as an ASCII
// character. Where two codes mean the same the second is handled as the
// first.
enum class ReplyCode : char {
    Finished = '1',     // the operation has ended; the address where the chip stopped
    Progress = '2',     // an operation runs; the current address
    ProgressToo = '3',  // as Progress
    EndOfMessage = '4', // a scan found an end-of-message mark; the address after it
    PlayEnd = '5',      // playback from the chip has stopped; the address reached
    Overflow = '7',     // memory overflow
    OverflowToo = '8',  // as Overflow
    ScanOverflow = '9', // a scan ran into the end of memory; the overflow address
    RecordStarted = ':',
    Ready = ';',        // the power setting in byte 6; answered with the set-chip command
    NoDevice = '<',     // no chip in the programmer
    CircularFail = '=', // the chip's circular memory structure is bad
};
