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
      recording(session, sets, fileRows), operations(session), replies(session, sets, recording) {
    HandlerTable& handlers = state.handlers;
    handlers.set(Handler::PlayFromChip, [this] { operations.playFromChip(); });
    handlers.set(Handler::PlayTable, [this] { operations.playTable(); });
    handlers.set(Handler::StopChip, [this] { operations.stopChip(); });
    handlers.set(Handler::MemoryScan, [this] { operations.memoryScan(); });
    handlers.set(Handler::CheckRecords, [this] { operations.checkRecords(); });
    handlers.set(Handler::Erase, [this] { operations.erase(); });
    handlers.set(Handler::PowerUp, [this] { operations.powerUp(); });
    handlers.set(Handler::PowerDown, [this] { operations.powerDown(); });
    handlers.set(Handler::ChangeCurrentAddress, [this] { operations.changeCurrentAddress(); });
    handlers.set(Handler::RecordFile, [this] { recording.recordFile(); });
    handlers.set(Handler::RecordTable, [this] { recording.recordTable(); });
    Prompter& prompter = state.prompter;
    connect(&state.port, &ComPort::OnRxChar, this, [this, &prompter](int count) {
        runGuarded(prompter, [&] { replies.onBytesReceived(count); });
    });
}
