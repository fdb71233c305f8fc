#pragma once

#include "chipcommandsets.h"
#include "chipoperations.h"
#include "commandframes.h"
#include "files/filerowselect.h"
#include "linksession.h"
#include "map/memorymap.h"
#include "recording.h"
#include "replyhandler.h"
#include "replywatchdog.h"

#include <QObject>
#include <functional>

class AddressInput;
class ProgramState;

// The chip link composed over the program's state: the command frame's
// steps, the chip operations, the recording, the reply handling and the
// watchdog on the programmer's silence. Creating it registers the chip
// commands' handlers in the state's handler table and from then on takes the
// programmer's replies from the port, and ends what runs when the port
// closes, so chip operations run the same in the window, in a front end
// without widgets and in the tests. The state needs a player; it must
// outlive this object.
class ChipLink : public QObject {
    Q_OBJECT
public:
    // `address` asks for an address ("Change current ISD address");
    // `showMapPage` brings the memory map to the front (may be empty).
    ChipLink(ProgramState& state, AddressInput& address, std::function<void()> showMapPage,
             QObject* parent = nullptr);

    CommandFrames frames;
    MemoryMap memoryMap;
    LinkSession session;
    FileRowSelect fileRows;
    ChipCommandSets sets;
    Recording recording;
    ChipOperations operations;
    ReplyHandler replies;
    ReplyWatchdog watchdog;
};
