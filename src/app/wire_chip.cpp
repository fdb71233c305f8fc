#include "core/guard.h"
#include "files/filerowselect.h"
#include "link/chipcommandsets.h"
#include "link/chipoperations.h"
#include "link/commandframes.h"
#include "link/comport.h"
#include "link/linksession.h"
#include "link/recording.h"
#include "link/replyhandler.h"
#include "link/replywatchdog.h"
#include "mainwindow.h"
#include "map/memorymap.h"
#include "widgets/addressdialog.h"
#include "windowaddressinput.h"
#include "wiring.h"

#include <QTabWidget>
#include <memory>

namespace {

// Everything the chip commands and the reply handling keep for the window's
// lifetime.
struct ChipLink {
    explicit ChipLink(MainWindow& window)
        : frames(window.frame, window.chip, window.link, window.panel, window.port),
          memoryMap(window.mapGrid, window.panel, window.chip), address(window),
          session{
              window.frame,    frames,          window.chip,
              window.link,     window.panel,    window.port,
              *window.player,  window.fileGrid, window.mapGrid,
              memoryMap,       window.commands, window.availability,
              window.prompter, address,         [&window] { window.pages()->setCurrentIndex(1); }},
          fileRows(window.fileGrid, window.panel, window.chip, window.prompter), sets(session),
          recording(session, sets, fileRows), operations(session),
          replies(session, sets, recording), watchdog(window.link, window.commands) {}

    CommandFrames frames;
    MemoryMap memoryMap;
    WindowAddressInput address;
    LinkSession session;
    FileRowSelect fileRows;
    ChipCommandSets sets;
    Recording recording;
    ChipOperations operations;
    ReplyHandler replies;
    ReplyWatchdog watchdog;
};

} // namespace

void wireChipOperations(MainWindow& window) {
    if (window.player == nullptr)
        return;
    const auto link = std::make_shared<ChipLink>(window);
    const auto on = [&window, link](const char* name, void (*run)(ChipLink&)) {
        window.setHandler(QString::fromLatin1(name), [link, run] { run(*link); });
    };
    on("playFromChip", [](ChipLink& l) { l.operations.playFromChip(); });
    on("playTable", [](ChipLink& l) { l.operations.playTable(); });
    on("stopChip", [](ChipLink& l) { l.operations.stopChip(); });
    on("memoryScan", [](ChipLink& l) { l.operations.memoryScan(); });
    on("checkRecords", [](ChipLink& l) { l.operations.checkRecords(); });
    on("erase", [](ChipLink& l) { l.operations.erase(); });
    on("powerUp", [](ChipLink& l) { l.operations.powerUp(); });
    on("powerDown", [](ChipLink& l) { l.operations.powerDown(); });
    on("changeCurrentAddress", [](ChipLink& l) { l.operations.changeCurrentAddress(); });
    on("recordFile", [](ChipLink& l) { l.recording.recordFile(); });
    on("recordTable", [](ChipLink& l) { l.recording.recordTable(); });
    QObject::connect(&window.port, &ComPort::OnRxChar, &window, [&window, link](int count) {
        runGuarded(window.prompter, [&] { link->replies.onBytesReceived(count); });
        link->watchdog.watch();
    });
    // A closed port ends what runs: no reply can come. This comes before the
    // message that tells the user a device vanished.
    QObject::connect(&window.port, &ComPort::activeChanged, &window, [link](bool active) {
        if (!active)
            link->replies.onPortClosed();
    });
    // After the window's routing: the command has run.
    QObject::connect(&window.commands, &Commands::triggered, &window,
                     [link] { link->watchdog.restart(); });
}
