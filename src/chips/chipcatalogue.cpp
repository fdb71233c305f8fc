#include "chipcatalogue.h"

namespace {

constexpr quint8 Rate8k0 = 0x30, Rate6k4 = 0x31, Rate5k3 = 0x32, Rate4k0 = 0x33;

// clang-format off
const ChipInfo table[ChipCatalogue::Count] = {
    {"ISD 33060 (60 sek.)", "ISD 33060", "60 sek.", 60.0f, 399, 399, 1, 0, 0, 0},
    {"ISD 33075 (75 sek.)", "ISD 33075", "75 sek.", 75.0f, 399, 399, 1, 0, 0, 0},
    {"ISD 33090 (90 sek.)", "ISD 33090", "90 sek.", 90.0f, 399, 399, 1, 0, 0, 0},
    {"ISD 33120-4 (2 min.)", "ISD 33120-4", "120 sek.", 120.0f, 399, 399, 1, 0, 0, 0},
    {"ISD 33120 (2 min.)", "ISD 33120", "120 sek.", 120.0f, 799, 799, 1, 0, 0, 0},
    {"ISD 33150 (2.5 min.)", "ISD 33150", "150 sek.", 150.0f, 799, 799, 1, 0, 0, 0},
    {"ISD 33180 (3 min.)", "ISD 33180", "180 sek.", 180.0f, 799, 799, 1, 0, 0, 0},
    {"ISD 33240 (4 min.)", "ISD 33240", "240 sek.", 240.0f, 799, 799, 1, 0, 0, 0},
    {"ISD 4002 (120 sek.)", "ISD 4002-120", "120 sek.", 120.0f, 599, 599, 1, 0, 0, 0},
    {"ISD 4002 (150 sek.)", "ISD 4002-150", "150 sek.", 150.0f, 599, 599, 1, 0, 0, 0},
    {"ISD 4002 (180 sek.)", "ISD 4002-180", "180 sek.", 180.0f, 599, 599, 1, 0, 0, 0},
    {"ISD 4002 (240 sek.)", "ISD 4002-240", "240 sek.", 240.0f, 599, 599, 1, 0, 0, 0},
    {"ISD 4003 - 04 (4 min.)", "ISD 4003-04", "240 sek.", 240.0f, 1199, 1199, 1, 0, 0, 0},
    {"ISD 4003 - 05 (5 min.)", "ISD 4003-05", "300 sek.", 300.0f, 1199, 1199, 1, 0, 0, 0},
    {"ISD 4003 - 06 (6 min.)", "ISD 4003-06", "360 sek.", 360.0f, 1199, 1199, 1, 0, 0, 0},
    {"ISD 4003 - 08 (8 min.)", "ISD 4003-08", "480 sek.", 480.0f, 1199, 1199, 1, 0, 0, 0},
    {"ISD 4004 - 8 (8 min.)", "ISD 4004-08", "8 min.", 480.0f, 2399, 2399, 2, 0, 0, 0},
    {"ISD 4004 - 10 (10 min.)", "ISD 4004-10", "10 min.", 600.0f, 2399, 2399, 2, 0, 0, 0},
    {"ISD 4004 - 12 (12 min.)", "ISD 4004-12", "12 min.", 720.0f, 2399, 2399, 2, 0, 0, 0},
    {"ISD 4004 - 16 (16 min.)", "ISD 4004-16", "16 min.", 960.0f, 2399, 2399, 2, 0, 0, 0},
    {"ISD 5008 - 8.0 kHz", "ISD 5008 - 8.0 kHz", "4 min.", 240.0f, 1199, 1199, 3, Rate8k0, 0, 0},
    {"ISD 5008 - 6.4 kHz", "ISD 5008 - 6.4 kHz", "5 min.", 300.0f, 1199, 1199, 3, Rate6k4, 0, 0},
    {"ISD 5008 - 5.3 kHz", "ISD 5008 - 5.3 kHz", "6 min.", 360.0f, 1199, 1199, 3, Rate5k3, 0, 0},
    {"ISD 5008 - 4.0 kHz", "ISD 5008 - 4.0 kHz", "8 min.", 480.0f, 1199, 1199, 3, Rate4k0, 0, 0},
    {"ISD 5116 - 8 kHz", "ISD 5116 - 8.0 kHz", "8 min 44 sec.", 524.0f, 2047, 2047, 4, Rate8k0, 0, 0},
    {"ISD 5116 - 6.4 kHz", "ISD 5116 - 6.4 kHz", "10 min 55 sec", 655.0f, 2047, 2047, 4, Rate6k4, 0, 0},
    {"ISD 5116 - 5.3 kHz", "ISD 5116 - 5.3 kHz", "13 min 6 sec", 786.0f, 2047, 2047, 4, Rate5k3, 0, 0},
    {"ISD 5116 - 4.0 kHz", "ISD 5116 - 4.0 kHz", "17 min 28 sec", 1048.0f, 2047, 2047, 4, Rate4k0, 0, 0},
    {"ISD 5108 - 8 kHz", "ISD 5108 - 8.0 kHz", "4 min 22 sec.", 262.0f, 1023, 1023, 4, Rate8k0, 0, 0},
    {"ISD 5108 - 6.4 kHz", "ISD 5108 - 6.4 kHz", "5 min 27 sec", 327.0f, 1023, 1023, 4, Rate6k4, 0, 0},
    {"ISD 5108 - 5.3 kHz", "ISD 5108 - 5.3 kHz", "6 min 33 sec", 393.0f, 1023, 1023, 4, Rate5k3, 0, 0},
    {"ISD 5108 - 4.0 kHz", "ISD 5108 - 4.0 kHz", "8 min 44 sec", 524.0f, 1023, 1023, 4, Rate4k0, 0, 0},
    {"ISD 5104 - 8 kHz", "ISD 5104 - 8.0 kHz", "2 min 11 sec.", 131.0f, 511, 511, 4, Rate8k0, 0, 0},
    {"ISD 5104 - 6.4 kHz", "ISD 5104 - 6.4 kHz", "2 min 43 sec", 163.0f, 511, 511, 4, Rate6k4, 0, 0},
    {"ISD 5104 - 5.3 kHz", "ISD 5104 - 5.3 kHz", "3 min 17 sec", 197.0f, 511, 511, 4, Rate5k3, 0, 0},
    {"ISD 5104 - 4.0 kHz", "ISD 5104 - 4.0 kHz", "4 min 22 sec", 262.0f, 511, 511, 4, Rate4k0, 0, 0},
    {"ISD 5102 - 8 kHz", "ISD 5102 - 8.0 kHz", "1 min 5 sec.", 65.0f, 255, 255, 4, Rate8k0, 0, 0},
    {"ISD 5102 - 6.4 kHz", "ISD 5102 - 6.4 kHz", "1 min 21 sec", 81.0f, 255, 255, 4, Rate6k4, 0, 0},
    {"ISD 5102 - 5.3 kHz", "ISD 5102 - 5.3 kHz", "1 min 38 sec", 98.0f, 255, 255, 4, Rate5k3, 0, 0},
    {"ISD 5102 - 4.0 kHz", "ISD 5102 - 4.0 kHz", "2 min 11 sec", 131.0f, 255, 255, 4, Rate4k0, 0, 0},
    {"ISD 1730", "ISD 1730", "Rosc", 131.0f, 255, 255, 5, 0, 1, 0xFF},
    {"ISD 1740", "ISD 1740", "Rosc", 131.0f, 335, 335, 5, 0, 2, 0x1FF},
    {"ISD 1750", "ISD 1750", "Rosc", 131.0f, 415, 415, 5, 0, 2, 0x1FF},
    // The ISD 1760 is applied and shown with 496 rows' last address, while its
    // commands carry 495; the programmer's firmware expects exactly that.
    {"ISD 1760", "ISD 1760", "Rosc", 131.0f, 496, 495, 5, 0, 3, 0x1FF},
    {"ISD 1790", "ISD 1790", "Rosc", 131.0f, 735, 735, 5, 0, 3, 0x3FF},
    {"ISD 17120", "ISD 17120", "Rosc", 131.0f, 975, 975, 5, 0, 3, 0x3FF},
    {"ISD 17150", "ISD 17150", "Rosc", 131.0f, 1215, 1215, 5, 0, 4, 0x7FF},
    {"ISD 17180", "ISD 17180", "Rosc", 131.0f, 1455, 1455, 5, 0, 4, 0x7FF},
    {"ISD 17210", "ISD 17210", "Rosc", 131.0f, 1695, 1695, 5, 0, 4, 0x7FF},
    {"ISD 17240", "ISD 17240", "Rosc", 131.0f, 1935, 1935, 5, 0, 4, 0x7FF},
};
// clang-format on

} // namespace

namespace ChipCatalogue {

const ChipInfo* find(int index) {
    if (index < 1 || index > Count)
        return nullptr;
    return &table[index - 1];
}

QString addressLabel(int index) {
    const ChipInfo* chip = find(index);
    if (chip == nullptr)
        return QString();
    return QStringLiteral("Address (0-%1) :").arg(chip->lastAddress);
}

} // namespace ChipCatalogue
