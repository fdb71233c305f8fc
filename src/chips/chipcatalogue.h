#pragma once

#include <QString>
#include <QtGlobal>

// The fifty chip types the programmer serves, indexed 1 to 50. Types 41 to 50
// are the ISD 1700 family, tested everywhere as index > 40.
struct ChipInfo {
    const char* caption;  // radio button caption in the chip type dialog
    const char* name;     // chip name in the bottom panel
    const char* timeText; // total time text in the bottom panel
    float totalSeconds;
    quint16 lastAddress;        // as applied and shown in the address dialog
    quint16 commandLastAddress; // as written into command frames (ISD 1760: 495)
    quint8 family;              // command frame byte 3
    quint8 sampleRateCode;      // byte 9, ISD 5000 only; 0 when not set
    quint8 sizeCode;            // byte 12, ISD 1700 only; 0 when not set
    quint16 addressMask;        // ISD 1700 only; 0 when not set
};

namespace ChipCatalogue {

inline constexpr int Count = 50;
inline constexpr int FirstIsd1700 = 41;

// The row of a type, or nullptr outside 1 to 50.
const ChipInfo* find(int index);
inline bool isIsd1700(int index) {
    return index > 40;
}
// The ISD 1700 family keeps rows 0 to 15 free of messages: its memory, as
// messages see it, starts at row 16.
inline constexpr int Isd1700FirstRow = 16;
// The first row a message may use with a type: 16 for ISD 1700, else 0.
inline int firstMessageRow(int index) {
    return isIsd1700(index) ? Isd1700FirstRow : 0;
}

// The address dialog's prompt for a type, e.g. "Address (0-399) :"; empty
// outside 1 to 50.
QString addressLabel(int index);

} // namespace ChipCatalogue
