#pragma once

struct LinkSession;

// The user's commands that act on the chip: each prepares and sends one
// frame and sets the link state; the replies do the rest (ReplyHandler).
class ChipOperations {
public:
    explicit ChipOperations(LinkSession& session) : s(session) {}

    void PlayISDClick();           // "Play from ISD" / "Play"
    void Playtable1Click();        // "Play Table"
    void SpeedButton1Click();      // "Stop" of the chip
    void PrzegldajpamiISD1Click(); // "Memory Scan"
    void CheckRecords1Click();     // "Check records"
    void Erase1Click();            // "Erase"
    void ISDPowerUClick();         // "Power up"
    void ISDPowerDClick();         // "Power down"
    void WstawadresISD1Click();    // "Change current ISD address"

private:
    LinkSession& s;
};
