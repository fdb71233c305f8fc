#pragma once

#include <QString>
#include <QtGlobal>

class CommandFrame;
class PanelTexts;
class ComPort;

// The current chip type and what follows from it: the panel texts, the chip's
// geometry, and the chip fields of the command frame.
class ChipControl {
public:
    ChipControl(PanelTexts& panel, CommandFrame& frame, ComPort& port);

    // The program-wide current type, 1 to 50, chosen in the chip type dialog.
    qint8 ChipType = 1;
    // The main window's copy, taken by every ApplyChipType.
    qint8 ShownChipType = 0;
    // The chip's rows are 0 to LastAddress.
    quint16 LastAddress = 399;
    float TotalSeconds = 60.0f;

    // Refills the panel for ChipType and sends the set-chip frame (dropped
    // while the port is closed); the current address goes back to 0.
    void ApplyChipType();
    // Writes the current type's fields into the frame before a command. The
    // argument is kept for the callers' sake and not used.
    void writeChipCodes(int type = 0);
    // Masks an address the programmer reported, for ISD 1700 types.
    void MaskChipAddress(quint16& address) const;
    // "Rosc" for ISD 1700 types, else the time left from `address`, "%7.2f sek.".
    QString TimeToEndText(quint16 address) const;

    // Sets ChipType from a settings value: 1 to 50 are taken, anything else
    // (unreadable, below 1, above 50) gives 1.
    static qint8 chipTypeFromSetting(const QString& text);

private:
    PanelTexts& panel;
    CommandFrame& frame;
    ComPort& port;
};
