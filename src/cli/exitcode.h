#pragma once

// What isdvokar-cli ends with, for scripts (the man page lists them).
namespace ExitCode {
inline constexpr int Done = 0;          // done, and where a chip was written, verified
inline constexpr int Differs = 1;       // verify found a record that differs from its row
inline constexpr int Usage = 2;         // wrong options or arguments; an erase not confirmed
inline constexpr int NoProgrammer = 3;  // no programmer on the port, or no chip in it
inline constexpr int LineFault = 4;     // the line or the programmer failed on the way
inline constexpr int FileProblem = 5;   // a list, map or sound file cannot be read or written
inline constexpr int Interrupted = 130; // stopped by Ctrl-C or SIGTERM

// Several programmers end with the gravest of their codes: an interruption,
// then a file problem, a fault, no programmer, a difference, success.
inline int graver(int a, int b) {
    const auto rank = [](int code) {
        switch (code) {
        case Interrupted:
            return 6;
        case FileProblem:
            return 5;
        case LineFault:
            return 4;
        case NoProgrammer:
            return 3;
        case Usage:
            return 2;
        case Differs:
            return 1;
        default:
            return 0;
        }
    };
    return rank(b) > rank(a) ? b : a;
}
} // namespace ExitCode
