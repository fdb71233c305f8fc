// vokar-emu's device model as the program's side of the line feeds it: any
// bytes in any pieces, with chip time passing in between. Every reply it
// makes must be a whole frame, and time must always run out of events. With
// the first byte's top bit set the rest is a memory image instead, which
// must survive being saved and loaded again.

#include "vokardevice.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
}

// Runs what falls due, as the stand-in's timer does, up to a bound: a chip
// operation takes at most a few thousand rows.
void runEvents(VokarDevice& device, int limit) {
    for (int i = 0; i < limit; ++i) {
        const double next = device.nextEventAt();
        if (next < 0)
            return;
        if (next < device.now())
            fail("an event fell due in the past");
        device.advanceTo(next);
    }
}

void image(const std::uint8_t* data, std::size_t size) {
    VokarDevice device(data[0] & 0x3F);
    const QByteArray text(reinterpret_cast<const char*>(data + 1), int(size - 1));
    if (!device.loadImage(text))
        return;
    const QByteArray saved = device.saveImage();
    VokarDevice again(device.chip().index);
    if (!again.loadImage(saved))
        fail("a saved image does not load");
    if (again.saveImage() != saved || again.memoryMap() != device.memoryMap())
        fail("a saved image loads as another memory");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    if (data[0] & 0x80) {
        image(data, size);
        return 0;
    }
    VokarDevice device(data[0] % 51); // 0: an empty socket
    device.progressIntervalMs = 50 + data[1] % 200;
    device.onReply = [](const QByteArray& frame) {
        if (frame.size() != VokarDevice::FrameSize)
            fail("a reply that is not a whole frame");
    };
    device.onCommand = [](const QByteArray& frame) {
        if (frame.size() != VokarDevice::FrameSize)
            fail("a command taken that is not a whole frame");
    };
    std::size_t at = 2;
    while (at < size) {
        const std::uint8_t step = data[at++];
        if (step >= 0xF0) {
            // Chip time passes: up to this many events.
            runEvents(device, 1 + (step & 0x0F) * 16);
            continue;
        }
        const std::size_t length = std::min<std::size_t>(step, size - at);
        device.receive(QByteArray(reinterpret_cast<const char*>(data + at), int(length)));
        at += length;
    }
    runEvents(device, 20000);
    return 0;
}
