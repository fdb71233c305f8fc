#pragma once

#include "linkcodes.h"

#include <QString>
#include <QtGlobal>

class ChipControl;
class CommandFrame;
class PanelTexts;
class ComPort;
struct LinkContext;

// Where each field sits in the command frame.
namespace FrameByte {
inline constexpr int Command = 0;
inline constexpr int StartHigh = 1;
inline constexpr int StartLow = 2;
inline constexpr int ChipFamily = 3;
inline constexpr int StopGiven = 4;
inline constexpr int StopHigh = 5;
inline constexpr int StopLow = 6;
inline constexpr int PowerFlag = 7;
inline constexpr int ScanByte = 8;
inline constexpr int SampleRateCode = 9;
inline constexpr int LastAddressCopy = 10; // and 11
inline constexpr int Isd1700SizeCode = 12;
} // namespace FrameByte

// The steps every sender of a chip command takes on the one command frame.
// Each writes only its own bytes; whatever else the frame holds goes out as
// the last command left it.
class CommandFrames {
public:
    CommandFrames(CommandFrame& frame, ChipControl& chip, LinkContext& link, PanelTexts& panel,
                  ComPort& port);

    // Display to frame: the current address text as a 16-bit number into bytes 1-2
    // (high first), CurrentAddress the same number lowered to LastAddress.
    // Raises AppError when the text is not a decimal number; then nothing
    // is written.
    void TransferAddress();

    // Steps common to every chip command: the address from the display, the
    // chip type's fields, then the command code.
    void prepare(CommandCode command);

    // Bytes 4-6: no stop address, the chip's last address instead.
    void setStopAtLastAddress();
    // Bytes 4-6: a stop address taken from the file table.
    void setStopAddress(quint16 stop);
    // Bytes 10-11: LastAddress low byte first, as the single-file record
    // writes it before writeChipCodes.
    void setLastAddressCopyLowFirst();
    // Byte 7.
    void setPower(quint8 power);
    // Byte 7 for a step of a multi-step operation: powered while another row
    // follows, else the user's setting.
    void setStepPower(bool anotherRowFollows);
    // Byte 8.
    void clearScanByte();

    // Writes the frame; the command counts as sent even on a closed port.
    void send();
    // Writes the frame only when no earlier output is still pending; false
    // when it was dropped.
    bool sendWhenOutputIdle();

    // "Power up" and "Power down": byte 7 and PowerSetting together.
    void PowerUp();
    void PowerDown();

    // The start of memory for the current type: 16 for ISD 1700 types.
    quint16 startOfMemory() const;

private:
    CommandFrame& frame;
    ChipControl& chip;
    LinkContext& link;
    PanelTexts& panel;
    ComPort& port;
};
