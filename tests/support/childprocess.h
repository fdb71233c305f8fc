#pragma once

#include <QProcess>
#include <csignal>
#include <sys/prctl.h>

// Helper programs a test starts (a sound server, the programmer's stand-in)
// end with the test even when it crashes or is killed on a time-out; a left
// one would hold the test runner's output open and outlive the run.
inline void endWithThisProcess(QProcess& process) {
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}
