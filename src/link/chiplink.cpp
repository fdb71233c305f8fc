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
    handlers.set(QStringLiteral("playFromChip"), [this] { operations.playFromChip(); });
    handlers.set(QStringLiteral("playTable"), [this] { operations.playTable(); });
    handlers.set(QStringLiteral("stopChip"), [this] { operations.stopChip(); });
    handlers.set(QStringLiteral("memoryScan"), [this] { operations.memoryScan(); });
    handlers.set(QStringLiteral("checkRecords"), [this] { operations.checkRecords(); });
    handlers.set(QStringLiteral("erase"), [this] { operations.erase(); });
    handlers.set(QStringLiteral("powerUp"), [this] { operations.powerUp(); });
    handlers.set(QStringLiteral("powerDown"), [this] { operations.powerDown(); });
    handlers.set(QStringLiteral("changeCurrentAddress"),
                 [this] { operations.changeCurrentAddress(); });
    handlers.set(QStringLiteral("recordFile"), [this] { recording.recordFile(); });
    handlers.set(QStringLiteral("recordTable"), [this] { recording.recordTable(); });
    Prompter& prompter = state.prompter;
    connect(&state.port, &ComPort::OnRxChar, this, [this, &prompter](int count) {
        runGuarded(prompter, [&] { replies.onBytesReceived(count); });
    });
}
