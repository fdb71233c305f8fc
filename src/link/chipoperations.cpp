#include "chipoperations.h"

#include "chipcommandsets.h"
#include "chips/chipcatalogue.h"
#include "chips/chipcontrol.h"
#include "commandframe.h"
#include "commandframes.h"
#include "comport.h"
#include "core/addressinput.h"
#include "core/apperror.h"
#include "core/mediaplayer.h"
#include "core/paneltexts.h"
#include "core/stringgrid.h"
#include "core/tablelayout.h"
#include "files/addresstext.h"
#include "linksession.h"
#include "linkstate.h"
#include "map/memorymap.h"
#include "programmerconnection.h"

bool ChipOperations::connected() {
    return ProgrammerConnection::required(s.port, s.prompter);
}

void ChipOperations::playFromChip() {
    if (!connected())
        return;
    s.port.PurgeRead();
    s.frames.prepare(CommandCode::Play);
    s.frames.setStopAtLastAddress();
    s.frames.setPower(s.link.PowerSetting);
    if (s.frames.sendWhenOutputIdle())
        s.link.LinkState = LinkContext::StatePlaying;
    s.link.StopRequested = false;
}

void ChipOperations::playTable() {
    if (!connected())
        return;
    s.link.TableRow = 1;
    const QString first = s.mapGrid.cell(MapColumn::Start, 1);
    if (!first.isEmpty()) {
        s.memoryMap.SelectMapRow(1);
        const int start = AddressText::toIntegerOrFail(first);
        s.panel.setText(PanelTexts::Address, AddressText::dec(start));
        s.panel.setText(PanelTexts::AddressHex, AddressText::hex(start));
        s.panel.setText(PanelTexts::TimeToEnd, s.chip.TimeToEndText(quint16(start)));
    }
    s.port.PurgeRead();
    s.frames.prepare(CommandCode::Play);
    s.frames.setStopAtLastAddress();
    s.frames.setStepPower(!s.mapGrid.cell(MapColumn::Start, 2).isEmpty());
    if (s.frames.sendWhenOutputIdle())
        s.link.LinkState = LinkContext::StatePlayingTable;
    s.link.StopRequested = false;
}

void ChipOperations::stopChip() {
    // The programmer hears of it with its next progress or end-of-message
    // reply, which is answered with a stop.
    s.link.LinkState = LinkContext::StateIdle;
    s.link.StopRequested = true;
    if (!s.link.ProgrammerSilent)
        return;
    // It has not answered for long: it may be waiting for the answer to a
    // report the line lost, and then no next reply comes. It hears of the
    // stop now; the request stays for a report still on its way.
    s.link.ProgrammerSilent = false;
    s.link.IgnorePlayEnd = true;
    if (s.player.IsPlaying())
        s.player.Stop();
    s.frame.setCommand(CommandCode::Stop);
    s.frames.setPower(s.link.PowerSetting);
    s.frames.send();
    ChipCommandSets sets(s);
    sets.EnableChipCommands({false, true, true});
    sets.UpdateFileCommands();
}

void ChipOperations::memoryScan() {
    if (!connected())
        return;
    s.showMapPage();
    s.port.PurgeRead();
    s.memoryMap.SelectMapRow(1);
    s.memoryMap.ClearMemoryMap();
    // After selecting map row 1, whose own behaviour shows that row's start:
    // the scan starts at the start of memory whatever the map held.
    s.panel.setText(PanelTexts::Address, AddressText::dec(s.frames.startOfMemory()));
    s.frames.prepare(CommandCode::Scan);
    s.frames.clearScanByte();
    s.frames.setStopAtLastAddress();
    s.frames.setPower(s.link.PowerSetting);
    s.link.LinkState = LinkContext::StateScanning;
    s.frames.send();
    s.link.StopRequested = false;
}

void ChipOperations::checkRecords() {
    const QString first = s.fileGrid.cell(FileColumn::Start, 1);
    if (first.isEmpty() || !connected())
        return;
    s.showMapPage();
    s.port.PurgeRead();
    s.memoryMap.SelectMapRow(1);
    s.memoryMap.ClearMemoryMap();
    s.link.TableRow = 1;
    const int start = first == AddressText::notUsed() ? 0 : AddressText::toIntegerOrFail(first);
    s.panel.setText(PanelTexts::Address, AddressText::dec(start));
    s.frames.prepare(CommandCode::Scan);
    s.frames.setStepPower(!s.fileGrid.cell(FileColumn::Start, 2).isEmpty());
    s.frames.setStopAtLastAddress();
    s.frames.clearScanByte();
    s.link.LinkState = LinkContext::StateChecking;
    s.frames.send();
    s.link.StopRequested = false;
}

void ChipOperations::erase() {
    if (!connected())
        return;
    s.panel.setText(PanelTexts::Address, QStringLiteral("00000"));
    s.frames.TransferAddress();
    if (s.player.IsPlaying())
        s.player.Stop();
    s.chip.writeChipCodes();
    if (ChipCatalogue::isIsd1700(s.chip.ChipType)) {
        s.frame.setCommand(CommandCode::Erase);
    } else {
        // The older chips are erased by recording silence over them: over
        // the whole memory, whatever stop the command before left behind.
        s.frame.setCommand(CommandCode::Record);
        s.frames.setStopAtLastAddress();
    }
    if (s.frames.sendWhenOutputIdle())
        s.link.LinkState = LinkContext::StateErasing;
    s.link.StopRequested = false;
}

void ChipOperations::powerUp() {
    if (connected())
        s.frames.PowerUp();
}

void ChipOperations::powerDown() {
    if (connected())
        s.frames.PowerDown();
}

void ChipOperations::changeCurrentAddress() {
    if (!s.address.Execute())
        return;
    const std::optional<int> value = AddressInput::toAddress(s.address.addressText());
    if (!value)
        throw AppError(
            QStringLiteral("'%1' is not a valid integer value").arg(s.address.addressText()));
    s.panel.setText(PanelTexts::Address, AddressText::dec(*value));
    const int shown = AddressText::toIntegerOrFail(s.panel.address());
    s.panel.setText(PanelTexts::TimeToEnd, s.chip.TimeToEndText(quint16(shown)));
}
