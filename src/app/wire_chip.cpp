#include "chips/adresdialog.h"
#include "core/guard.h"
#include "files/filerowselect.h"
#include "formularz.h"
#include "link/chipcommandsets.h"
#include "link/chipoperations.h"
#include "link/commandframes.h"
#include "link/customcomport.h"
#include "link/linksession.h"
#include "link/recording.h"
#include "link/replyhandler.h"
#include "map/memorymap.h"
#include "windowaddressinput.h"
#include "wiring.h"

#include <QTabWidget>
#include <memory>

namespace {

// Everything the chip commands and the reply handling keep for the window's
// lifetime.
struct ChipLink {
    explicit ChipLink(TFormularz& window)
        : frames(window.frame, window.chip, window.link, window.panel, window.ComPort1),
          memoryMap(window.ListaNagran, window.panel, window.chip),
          address(window), session{window.frame,
                                   frames,
                                   window.chip,
                                   window.link,
                                   window.panel,
                                   window.ComPort1,
                                   *window.Player,
                                   window.ListaPlikow,
                                   window.ListaNagran,
                                   memoryMap,
                                   window.commands,
                                   window.availability,
                                   window.prompter,
                                   address,
                                   [&window] { window.pages()->setCurrentIndex(1); }},
          fileRows(window.ListaPlikow, window.panel, window.chip, window.prompter), sets(session),
          recording(session, sets, fileRows), operations(session),
          replies(session, sets, recording) {}

    CommandFrames frames;
    MemoryMap memoryMap;
    WindowAddressInput address;
    LinkSession session;
    FileRowSelect fileRows;
    ChipCommandSets sets;
    Recording recording;
    ChipOperations operations;
    ReplyHandler replies;
};

} // namespace

void wireChipOperations(TFormularz& window) {
    if (window.Player == nullptr)
        return;
    const auto link = std::make_shared<ChipLink>(window);
    const auto on = [&window, link](const char* name, void (*run)(ChipLink&)) {
        window.setHandler(QString::fromLatin1(name), [link, run] { run(*link); });
    };
    on("PlayISDClick", [](ChipLink& l) { l.operations.PlayISDClick(); });
    on("Playtable1Click", [](ChipLink& l) { l.operations.Playtable1Click(); });
    on("SpeedButton1Click", [](ChipLink& l) { l.operations.SpeedButton1Click(); });
    on("PrzegldajpamiISD1Click", [](ChipLink& l) { l.operations.PrzegldajpamiISD1Click(); });
    on("CheckRecords1Click", [](ChipLink& l) { l.operations.CheckRecords1Click(); });
    on("Erase1Click", [](ChipLink& l) { l.operations.Erase1Click(); });
    on("ISDPowerUClick", [](ChipLink& l) { l.operations.ISDPowerUClick(); });
    on("ISDPowerDClick", [](ChipLink& l) { l.operations.ISDPowerDClick(); });
    on("WstawadresISD1Click", [](ChipLink& l) { l.operations.WstawadresISD1Click(); });
    on("nagrywaj", [](ChipLink& l) { l.recording.nagrywaj(); });
    on("RecordFileList1Click", [](ChipLink& l) { l.recording.RecordFileList1Click(); });
    QObject::connect(&window.ComPort1, &TCustomComPort::OnRxChar, &window,
                     [&window, link](int count) {
                         runGuarded(window.prompter, [&] { link->replies.ComPort1RxChar(count); });
                     });
}
