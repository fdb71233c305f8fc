#pragma once

#include <QtGlobal>

// What the serial driver knows beyond QSerialPort: bytes still in its output
// queue, and its line error counters. Both are 0 where the system (or the
// device, e.g. a pseudo-terminal) cannot say.
namespace SerialDriver {

// Line error flags as the program reports them.
enum LineError : int {
    RxOver = 0x0001,  // input queue overrun
    Overrun = 0x0002, // character lost in the hardware
    RxParity = 0x0004,
    Frame = 0x0008,
    Break = 0x0010,
};

struct ErrorCounters {
    quint32 frame = 0, overrun = 0, parity = 0, brk = 0, bufOverrun = 0;
    bool valid = false;
};

// Bytes the driver has taken but not yet sent.
int outputQueued(qintptr handle);
// Reads the counters; false when the driver keeps none.
bool readCounters(qintptr handle, ErrorCounters& counters);
// The flags of the counters that grew from `before` to `after`.
int flagsBetween(const ErrorCounters& before, const ErrorCounters& after);

} // namespace SerialDriver
