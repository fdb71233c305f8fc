#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The strict stand-in's judge: every command frame the PC sends, byte by
// byte, against what the link allows for that command and the chip in the
// socket. The PC keeps one frame buffer and each command rewrites only its own
// bytes, so a byte that a command does not write is not judged, whatever it
// holds; a byte that a command writes must hold what that command writes.
class ProtocolChecker {
public:
    static constexpr int FrameSize = 20;

    struct Violation {
        int first = 0; // byte positions, first to last
        int last = 0;
        QString field;
        QString expected;
        QString found;
        bool operator==(const Violation& other) const {
            return first == other.first && last == other.last && field == other.field &&
                   expected == other.expected && found == other.found;
        }
    };

    // What the stand-in has said that a command may answer.
    struct Awaiting {
        int progressReports = 0;   // "2"/"3" not answered yet (more than one when repeated)
        bool endOfMessage = false; // a scan's "4" not answered yet
    };

    // The chip in the socket: a catalogue index, 0 for an empty socket.
    explicit ProtocolChecker(int chip = 1) : socket(chip) {}
    void setChip(int chip) { socket = chip; }
    int chip() const { return socket; }

    // Judges one 20-byte frame and takes its answer off `awaiting`: a
    // continue or stop answers one report, a new chip command ends them all.
    QList<Violation> check(const QByteArray& frame, Awaiting& awaiting) const;

    // The log line of a violation: "PROTOCOL: scan frame 04 00 ...: byte 5-6
    // stop address: expected 00399 (...), found 00799". Command names are in
    // lower case, unlike the frame log's, so that a search of the log for
    // frames sent ("SetChip", "Stop") does not find violations.
    static QString line(const QByteArray& frame, const Violation& violation);
    static QString commandName(quint8 code);

private:
    int socket;
};
