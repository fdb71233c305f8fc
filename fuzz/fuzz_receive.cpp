// The serial line into the wired program: any bytes, cut into any
// deliveries, arriving in any link state, with the user doing things in
// between. Whatever came, the program must not crash or touch memory it does
// not own, and the chip's Stop must bring it back to idle for good: the
// programmer's next replies are answered with a stop and local playback ends.
//
// Input: byte 0 the chip type, byte 1 the operation running when the bytes
// start to arrive, then a stream of steps. A step byte below 0xF0 is the
// length of the next delivery, its bytes following; 0xF0 and above is a user
// action (see act()).

#include "chips/chipcatalogue.h"
#include "fuzzprogram.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

// The chip operations and the commands that change what they send.
const char* const operations[] = {nullptr,         "SpeedButton8", "Playtable1",   "PlayfromISD2",
                                  "CheckRecords1", "RecordISD",    "RecTable",     "Erase1",
                                  "PowerUp",       "PowerDown",    "OdtwarzajPlik"};
constexpr int operationCount = int(sizeof(operations) / sizeof(operations[0]));

// The same as the user chooses them while something runs: a command the
// window does not offer at that moment does nothing.
const char* const commands[] = {"SpeedButton8", "Playtable1",   "PlayfromISD2", "CheckRecords1",
                                "RecordISD",    "RecTable",     "Erase1",       "PowerUp",
                                "PowerDown",    "OdtwarzajPlik"};
constexpr int commandCount = int(sizeof(commands) / sizeof(commands[0]));

QByteArray reply(char code, int address) {
    QByteArray bytes(1, code);
    bytes += QByteArray::number(address).rightJustified(5, '0');
    bytes += QByteArray(14, '\0');
    return bytes;
}

void start(FuzzProgram& p, int operation) {
    if (const char* name = operations[operation % operationCount])
        p.run(name);
}

void act(FuzzProgram& p, std::uint8_t action, std::uint8_t argument) {
    switch (action & 0x0F) {
    case 0:
        p.stop();
        break;
    case 1:
        p.player.finish();
        break;
    case 2:
        p.run("SpeedButton7"); // stop local playback
        break;
    case 3:
        p.port.vanish();
        break;
    case 4:
        if (!p.port.Active())
            p.port.Open();
        break;
    default:
        p.run(commands[argument % commandCount]);
        break;
    }
}

constexpr int StateIdle = 3;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Fuzz::startApplication();
    if (size < 2)
        return 0;
    const int chipType = data[0] % ChipCatalogue::Count + 1;
    static FuzzProgram p(Fuzz::settings(1));
    p.reset(chipType);
    start(p, data[1]);

    std::size_t at = 2;
    while (at < size) {
        const std::uint8_t step = data[at++];
        if (step >= 0xF0) {
            const std::uint8_t argument = at < size ? data[at++] : 0;
            act(p, step, argument);
            continue;
        }
        const std::size_t length = std::min<std::size_t>(step, size - at);
        p.port.feed(QByteArray(reinterpret_cast<const char*>(data + at), int(length)));
        at += length;
    }

    // Whatever state that left: the user stops, and the programmer goes on
    // with what it was doing until it hears of the stop.
    if (!p.port.Active())
        p.port.Open();
    p.stop();
    if (p.state().link.LinkState != StateIdle)
        Fuzz::fail("Stop did not return to idle");
    // A piece of a frame may still wait on the line; it would spoil the
    // programmer's next reply (that a partial frame costs one reply is the
    // line's nature). The replies below come on a line in step again.
    p.port.PurgeRead();
    const char codes[] = {'2', '4', '5', '1', ':', '3'};
    for (char code : codes) {
        const int before = int(p.port.written.size());
        p.port.feed(reply(code, 0));
        if (p.state().link.LinkState != StateIdle)
            Fuzz::fail("a reply after Stop started an operation again");
        if (code == '2') {
            // The progress report is answered with a stop, and what played
            // locally for a recording ends.
            if (int(p.port.written.size()) != before + 1 || p.port.written.last().at(0) != 3)
                Fuzz::fail("the progress report after Stop was not answered with a stop");
            if (p.player.IsPlaying())
                Fuzz::fail("local playback went on after Stop");
        }
    }
    return 0;
}
