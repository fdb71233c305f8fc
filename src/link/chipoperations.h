#pragma once

struct LinkSession;

// The user's commands that act on the chip: each prepares and sends one
// frame and sets the link state; the replies do the rest (ReplyHandler).
// None starts while no port is open: the user is told how to connect.
class ChipOperations {
public:
    explicit ChipOperations(LinkSession& session) : s(session) {}

    void playFromChip();         // "Play from ISD" / "Play"
    void playTable();            // "Play Table"
    void stopChip();             // "Stop" of the chip
    void memoryScan();           // "Memory Scan"
    void checkRecords();         // "Check records"
    void erase();                // "Erase"
    void powerUp();              // "Power up"
    void powerDown();            // "Power down"
    void changeCurrentAddress(); // "Change current ISD address"

private:
    // The port is open; otherwise the user is told how to connect.
    bool connected();

    LinkSession& s;
};
