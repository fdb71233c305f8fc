#include "chiplink.h"

#include "comport.h"
#include "core/guard.h"
#include "state/programstate.h"

ChipLink::ChipLink(ProgramState& state, AddressInput& address, std::function<void()> showMapPage,
                   QObject* parent)
    : QObject(parent), frames(state.frame, state.chip, state.link, state.panel, state.port),
      memoryMap(state.mapGrid, state.panel, state.chip), session{state.frame,
                                                                 frames,
                                                                 state.chip,
                                                                 state.link,
                                                                 state.panel,
                                                                 state.port,
                                                                 *state.player,
                                                                 state.fileGrid,
                                                                 state.mapGrid,
                                                                 memoryMap,
                                                                 state.commands,
                                                                 state.availability,
                                                                 state.prompter,
                                                                 address,
                                                                 [show = std::move(showMapPage)] {
                                                                     if (show)
                                                                         show();
                                                                 }},
      fileRows(state.fileGrid, state.panel, state.chip, state.prompter), sets(session),
      recording(session, sets, fileRows), operations(session), replies(session, sets, recording),
      watchdog(state.link, state.commands) {
    HandlerTable& handlers = state.handlers;
    // Each chip command may start an operation: the watchdog times it from
    // when the command has run.
    const auto chip = [this, &handlers](const char* name, std::function<void()> operation) {
        handlers.set(QString::fromLatin1(name), [this, operation] {
            operation();
            watchdog.restart();
        });
    };
    chip("playFromChip", [this] { operations.playFromChip(); });
    chip("playTable", [this] { operations.playTable(); });
    chip("stopChip", [this] { operations.stopChip(); });
    chip("memoryScan", [this] { operations.memoryScan(); });
    chip("checkRecords", [this] { operations.checkRecords(); });
    chip("erase", [this] { operations.erase(); });
    chip("powerUp", [this] { operations.powerUp(); });
    chip("powerDown", [this] { operations.powerDown(); });
    chip("changeCurrentAddress", [this] { operations.changeCurrentAddress(); });
    chip("recordFile", [this] { recording.recordFile(); });
    chip("recordTable", [this] { recording.recordTable(); });
    Prompter& prompter = state.prompter;
    connect(&state.port, &ComPort::OnRxChar, this, [this, &prompter](int count) {
        runGuarded(prompter, [&] { replies.onBytesReceived(count); });
        watchdog.watch();
    });
    // A closed port ends what runs: no reply can come. The port says it has
    // closed before it says why, so this comes before any message about a
    // device that went away.
    connect(&state.port, &ComPort::activeChanged, this, [this](bool active) {
        if (!active)
            replies.onPortClosed();
    });
}
