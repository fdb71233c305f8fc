#pragma once

#include "linkcodes.h"

#include <QtGlobal>
#include <array>

// The one command frame of the main window. It is never built afresh: each
// command overwrites only its own bytes and sends the rest as last left.
// The buffer is 32 bytes; the first 20 are the frame on the line.
class CommandFrame {
public:
    static constexpr int Size = 20;
    static constexpr int BufferSize = 32;

    CommandFrame() { clear(); }

    void clear() { bytes.fill(0); }
    void fillFF() { bytes.fill(0xFF); }
    // Byte 0.
    void setCommand(CommandCode code) { bytes[0] = static_cast<quint8>(code); }

    quint8& operator[](int index) { return bytes.at(static_cast<size_t>(index)); }
    quint8 operator[](int index) const { return bytes.at(static_cast<size_t>(index)); }

    const char* data() const { return reinterpret_cast<const char*>(bytes.data()); }

private:
    std::array<quint8, BufferSize> bytes{};
};
