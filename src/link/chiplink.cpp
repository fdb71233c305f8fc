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
    const auto chip = [this, &handlers](Handler handler, std::function<void()> operation) {
        handlers.set(handler, [this, operation] {
            operation();
            watchdog.restart();
        });
    };
    chip(Handler::PlayFromChip, [this] { operations.playFromChip(); });
    chip(Handler::PlayTable, [this] { operations.playTable(); });
    chip(Handler::StopChip, [this] { operations.stopChip(); });
    chip(Handler::MemoryScan, [this] { operations.memoryScan(); });
    chip(Handler::CheckRecords, [this] { operations.checkRecords(); });
    chip(Handler::Erase, [this] { operations.erase(); });
    chip(Handler::PowerUp, [this] { operations.powerUp(); });
    chip(Handler::PowerDown, [this] { operations.powerDown(); });
    chip(Handler::ChangeCurrentAddress, [this] { operations.changeCurrentAddress(); });
    chip(Handler::RecordFile, [this] { recording.recordFile(); });
    chip(Handler::RecordTable, [this] { recording.recordTable(); });
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
