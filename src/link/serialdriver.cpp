#include "serialdriver.h"

#ifdef Q_OS_LINUX
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <termios.h>
#endif

namespace SerialDriver {

int outputQueued(qintptr handle) {
#ifdef Q_OS_LINUX
    int queued = 0;
    if (handle >= 0 && ioctl(int(handle), TIOCOUTQ, &queued) == 0 && queued > 0)
        return queued;
#else
    Q_UNUSED(handle);
#endif
    return 0;
}

bool readCounters(qintptr handle, ErrorCounters& counters) {
#ifdef Q_OS_LINUX
    serial_icounter_struct icount{};
    if (handle >= 0 && ioctl(int(handle), TIOCGICOUNT, &icount) == 0) {
        counters.frame = quint32(icount.frame);
        counters.overrun = quint32(icount.overrun);
        counters.parity = quint32(icount.parity);
        counters.brk = quint32(icount.brk);
        counters.bufOverrun = quint32(icount.buf_overrun);
        counters.valid = true;
        return true;
    }
#else
    Q_UNUSED(handle);
#endif
    counters.valid = false;
    return false;
}

int flagsBetween(const ErrorCounters& before, const ErrorCounters& after) {
    if (!before.valid || !after.valid)
        return 0;
    int flags = 0;
    if (after.frame != before.frame)
        flags |= Frame;
    if (after.overrun != before.overrun)
        flags |= Overrun;
    if (after.parity != before.parity)
        flags |= RxParity;
    if (after.brk != before.brk)
        flags |= Break;
    if (after.bufOverrun != before.bufOverrun)
        flags |= RxOver;
    return flags;
}

} // namespace SerialDriver
