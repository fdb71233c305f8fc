#include "replyhandler.h"

#include "chipcommandsets.h"
#include "chips/chipcatalogue.h"
#include "chips/chipcontrol.h"
#include "commandframe.h"
#include "commandframes.h"
#include "comport.h"
#include "core/apperror.h"
#include "core/availability.h"
#include "core/commands.h"
#include "core/guard.h"
#include "core/mediaplayer.h"
#include "core/paneltexts.h"
#include "core/prompter.h"
#include "core/stringgrid.h"
#include "core/tablelayout.h"
#include "files/addresstext.h"
#include "linksession.h"
#include "linkstate.h"
#include "map/memorymap.h"
#include "recording.h"

namespace {

using Options = ChipCommandSets::Options;
constexpr Options eraseAndMap{false, true, true};
constexpr Options mapOnly{false, false, true};

QString timeText(float seconds) {
    return QString::asprintf("%7.2f sek.", double(seconds));
}

} // namespace

ReplyHandler::ReplyHandler(LinkSession& session, ChipCommandSets& sets_, Recording& recording_)
    : s(session), sets(sets_), recording(recording_), intake_(session.port) {}

void ReplyHandler::onBytesReceived(int) {
    intake_.readPort();
    s.link.NoiseBytesDropped = intake_.droppedBytes();
    if (handling)
        return; // the reply being handled comes first; the loop below takes these after it
    handling = true;
    while (const std::optional<QByteArray> reply = intake_.next()) {
        runGuarded(s.prompter, [&] { handle(*reply); });
        // Read what has come meanwhile, so that the port's bound never
        // holds replies back while whole ones could be handled.
        intake_.readPort();
        s.link.NoiseBytesDropped = intake_.droppedBytes();
    }
    handling = false;
}

void ReplyHandler::onPortClosed() {
    intake_.clear();
    s.link.ProgrammerSilent = false;
    if (s.link.LinkState == LinkContext::StateIdle)
        return;
    ++s.link.OperationsFailed;
    s.link.LinkState = LinkContext::StateIdle;
    s.link.StopRequested = false;
    s.link.RecordingRuns = false;
    s.frames.setPower(s.link.PowerSetting);
    s.link.IgnorePlayEnd = true;
    StopLocalPlay();
    sets.EnableChipCommands(eraseAndMap);
    sets.UpdateFileCommands();
}

void ReplyHandler::TransferAddress(const QByteArray& reply) {
    const QByteArray digits = reply.mid(1, 5);
    bool ok = digits.size() == 5;
    for (char c : digits)
        ok = ok && c >= '0' && c <= '9';
    if (!ok)
        throw AppError(QStringLiteral("'%1' is not a valid integer value")
                           .arg(QString::fromLatin1(digits.toPercentEncoding())));
    quint16 address = static_cast<quint16>(digits.toInt() & 0xFFFF);
    s.chip.MaskChipAddress(address);
    s.link.ReplyAddress = address;

    const int rows = int(s.chip.LastAddress) + 1;
    const float remaining = static_cast<float>(double(rows - int(address)) *
                                               double(s.chip.TotalSeconds) / double(rows));
    const bool isd1700 = ChipCatalogue::isIsd1700(s.chip.ChipType);
    if (remaining > 0) {
        s.panel.setText(PanelTexts::Address, AddressText::dec(address));
        s.panel.setText(PanelTexts::AddressHex, AddressText::hex(address));
        s.panel.setText(PanelTexts::TimeToEnd,
                        isd1700 ? QStringLiteral("Rosc") : timeText(remaining));
    } else {
        // At or past the end: the last row and the time it holds.
        s.panel.setText(PanelTexts::Address, AddressText::dec(s.chip.LastAddress));
        s.panel.setText(PanelTexts::AddressHex, AddressText::hex(s.chip.LastAddress));
        const float last = static_cast<float>(double(s.chip.TotalSeconds) / double(rows));
        s.panel.setText(PanelTexts::TimeToEnd, isd1700 ? QStringLiteral("Rosc") : timeText(last));
    }
}

void ReplyHandler::ShowStartOfMemory() {
    const bool isd1700 = ChipCatalogue::isIsd1700(s.chip.ChipType);
    const int start = ChipCatalogue::firstMessageRow(s.chip.ChipType);
    s.panel.setText(PanelTexts::Address, AddressText::dec(start));
    s.panel.setText(PanelTexts::AddressHex, AddressText::hex(start));
    const int rows = int(s.chip.LastAddress) + 1;
    const float whole =
        static_cast<float>(double(rows) * double(s.chip.TotalSeconds) / double(rows));
    s.panel.setText(PanelTexts::TimeToEnd, isd1700 ? QStringLiteral("Rosc") : timeText(whole));
}

void ReplyHandler::ShowAddressErrors() {
    // Every address error ends the operation it came in.
    ++s.link.OperationsFailed;
    s.prompter.showMessage(QStringLiteral("ISD max adress error"));
    s.prompter.showMessage(QStringLiteral("Please select right ISD device"));
}

void ReplyHandler::StopLocalPlay() {
    if (s.player.IsPlaying())
        s.player.Stop();
}

bool ReplyHandler::beyondChip() const {
    return int(s.link.ReplyAddress) > int(s.chip.LastAddress) + 1;
}

void ReplyHandler::sendCommand(CommandCode command, quint8 power) {
    s.frame.setCommand(command);
    s.frames.setPower(power);
    s.frames.send();
}

int ReplyHandler::selectedMapStart() const {
    return AddressText::toIntegerOrFail(s.panel.address());
}

void ReplyHandler::handle(const QByteArray& reply) {
    if (reply.size() < FrameSize)
        return;
    ++s.link.RepliesTaken;
    s.link.ProgrammerSilent = false;
    const auto code = static_cast<ReplyCode>(reply.at(0));
    const int state = s.link.LinkState;
    // The order matters where a reply code serves several states; only one
    // reaction runs for any reply.
    switch (code) {
    case ReplyCode::CircularFail:
        circularFail();
        break;
    case ReplyCode::Overflow:
    case ReplyCode::OverflowToo:
        overflow();
        break;
    case ReplyCode::ScanOverflow:
        scanOverflow(reply);
        break;
    case ReplyCode::PlayEnd:
        if (state == LinkContext::StatePlayingTable)
            playEndInTable(reply);
        else
            playEnd(reply);
        break;
    case ReplyCode::EndOfMessage:
        if (state == LinkContext::StateScanning)
            endOfMessageWhileScanning(reply);
        else if (state == LinkContext::StateChecking)
            endOfMessageWhileChecking(reply);
        else if (state == LinkContext::StateIdle && s.link.StopRequested)
            stopAfterUserStop();
        break;
    case ReplyCode::Progress:
    case ReplyCode::ProgressToo:
        progress(reply);
        break;
    case ReplyCode::Ready:
        ready(reply);
        break;
    case ReplyCode::RecordStarted:
        recordStarted();
        break;
    case ReplyCode::Finished:
        finished(reply);
        break;
    case ReplyCode::NoDevice:
        noDevice();
        break;
    default:
        break; // not a reply of ours
    }
}

void ReplyHandler::circularFail() {
    ++s.link.OperationsFailed;
    s.prompter.showMessage(QStringLiteral("Circular memory structure fail!"));
    s.link.LinkState = LinkContext::StateIdle;
}

void ReplyHandler::overflow() {
    ++s.link.OperationsFailed;
    s.link.RecordingRuns = false;
    s.frames.setPower(s.link.PowerSetting);
    s.link.LinkState = LinkContext::StateIdle;
    s.player.NotifyNext = false;
    StopLocalPlay();
    s.memoryMap.SelectMapRow(1);
    ShowStartOfMemory();
    sets.EnableChipCommands(eraseAndMap);
    s.prompter.showMessage(QStringLiteral("ISD memory overflow !"));
    sets.UpdateFileCommands();
}

void ReplyHandler::scanOverflow(const QByteArray& reply) {
    s.link.LinkState = LinkContext::StateIdle;
    s.frames.setPower(s.link.PowerSetting);
    sets.EnableChipCommands({});
    TransferAddress(reply);
    if (beyondChip()) {
        ShowAddressErrors();
        ShowStartOfMemory();
        s.memoryMap.ClearMemoryMap();
        s.link.LinkState = LinkContext::StateIdle;
        sets.EnableChipCommands({});
    } else {
        // The record the scan was in gets its start and the overflow
        // address, but no end of message.
        s.memoryMap.AddMapOverflow(s.link.ReplyAddress);
        int row = 1;
        while (row < s.mapGrid.RowCount() && !s.mapGrid.cell(MapColumn::Start, row).isEmpty())
            ++row;
        s.mapGrid.setCell(MapColumn::Start, row, AddressText::dec(s.link.CurrentAddress));
        s.mapGrid.setCell(MapColumn::StartHex, row, AddressText::hex(s.link.CurrentAddress));
        s.memoryMap.NumberMapRows();
        s.memoryMap.SelectMapRow(1);
        ShowStartOfMemory();
    }
    s.availability.UpdateMapCommands();
}

void ReplyHandler::playEndInTable(const QByteArray& reply) {
    TransferAddress(reply);
    if (beyondChip()) {
        s.link.LinkState = LinkContext::StateIdle;
        ShowAddressErrors();
        ShowStartOfMemory();
        sets.EnableChipCommands(eraseAndMap);
        s.memoryMap.SelectMapRowAt(selectedMapStart(), false);
        return;
    }
    s.link.TableRow += 1;
    const int row = s.link.TableRow;
    if (!s.mapGrid.cell(MapColumn::Start, row).isEmpty()) {
        s.memoryMap.SelectMapRow(row);
        s.frames.TransferAddress();
        s.frame.setCommand(CommandCode::Play);
        s.frames.setStopAtLastAddress();
        s.frames.setStepPower(!s.mapGrid.cell(MapColumn::Start, row + 1).isEmpty());
        s.frames.send();
    } else {
        sets.UpdateFileCommands();
        s.link.LinkState = LinkContext::StateIdle;
        sets.EnableChipCommands(eraseAndMap);
        s.memoryMap.SelectMapRowAt(selectedMapStart(), false);
    }
}

void ReplyHandler::playEnd(const QByteArray& reply) {
    TransferAddress(reply);
    sets.UpdateFileCommands();
    s.link.LinkState = LinkContext::StateIdle;
    if (beyondChip()) {
        ShowAddressErrors();
        ShowStartOfMemory();
    }
    sets.EnableChipCommands(eraseAndMap);
    // The display moves to the record that begins where playback stopped,
    // so that Play again plays the next record.
    s.memoryMap.SelectMapRowAt(selectedMapStart(), true);
}

void ReplyHandler::endOfMessageWhileScanning(const QByteArray& reply) {
    TransferAddress(reply);
    s.memoryMap.AddMapRecord(s.link.CurrentAddress, quint16(s.link.ReplyAddress - 1));
    const int end = int(s.chip.LastAddress) + 1;
    const int at = s.link.ReplyAddress;
    if (s.link.StopRequested) {
        s.link.StopRequested = false;
        s.link.LinkState = LinkContext::StateIdle;
        sendCommand(CommandCode::Stop, s.link.PowerSetting);
        sets.EnableChipCommands(mapOnly);
    } else if (at < end) {
        // The display shows where this message ended: the next step starts there.
        s.frames.TransferAddress();
        s.frame.setCommand(CommandCode::Scan);
        s.frames.setStopAtLastAddress();
        s.frames.setPower(s.link.PowerSetting);
        s.link.LinkState = LinkContext::StateScanning;
        s.frames.send();
        sets.DisableChipCommands();
    } else if (at > end) {
        ShowAddressErrors();
        ShowStartOfMemory();
        s.memoryMap.ClearMemoryMap();
        s.link.LinkState = LinkContext::StateIdle;
        s.frame.setCommand(CommandCode::Stop);
        s.frames.setPower(s.link.PowerSetting);
        sets.EnableChipCommands(mapOnly);
        s.frames.send();
    } else {
        // The end of memory.
        s.frames.TransferAddress();
        s.memoryMap.AddMapOverflow(s.link.ReplyAddress);
        s.memoryMap.SelectMapRow(1);
        ShowStartOfMemory();
        s.link.LinkState = LinkContext::StateIdle;
        s.frame.setCommand(CommandCode::Stop);
        s.frames.setPower(s.link.PowerSetting);
        sets.EnableChipCommands(mapOnly);
        s.frames.send();
    }
}

quint8 ReplyHandler::progressPower() const {
    const int row = s.link.TableRow;
    if (s.link.LinkState == LinkContext::StateRecordingTable)
        return !s.fileGrid.cell(FileColumn::File, row + 1).isEmpty() ? 1 : s.link.PowerSetting;
    if (s.link.LinkState == LinkContext::StatePlayingTable) {
        const bool isd1700 = ChipCatalogue::isIsd1700(s.chip.ShownChipType);
        const int looked = !s.link.StopRequested && isd1700 ? row : row + 1;
        return !s.mapGrid.cell(MapColumn::Eom, looked).isEmpty() ? 1 : s.link.PowerSetting;
    }
    return s.link.PowerSetting;
}

void ReplyHandler::progress(const QByteArray& reply) {
    TransferAddress(reply);
    if (beyondChip()) {
        s.link.StopRequested = false;
        s.link.LinkState = LinkContext::StateIdle;
        s.frame.setCommand(CommandCode::Stop);
        s.frames.setPower(s.link.PowerSetting);
        s.link.IgnorePlayEnd = true;
        StopLocalPlay();
        ShowAddressErrors();
        ShowStartOfMemory();
        s.memoryMap.SelectMapRow(1);
        sets.EnableChipCommands({});
        s.frames.send();
    } else if (s.link.StopRequested) {
        s.link.StopRequested = false;
        s.frame.setCommand(CommandCode::Stop);
        s.frames.setPower(progressPower());
        s.link.IgnorePlayEnd = true;
        StopLocalPlay();
        sets.EnableChipCommands({false, true, false});
        s.frames.send();
    } else {
        sets.LockDuringProgress();
        s.frames.setPower(progressPower());
        s.frame.setCommand(CommandCode::Continue);
        s.frames.send();
    }
}

void ReplyHandler::ready(const QByteArray& reply) {
    s.chip.writeChipCodes();
    // Byte 6 is the programmer's power digit. Anything else is no setting
    // (a spoilt byte): the one the program has stays, and every later frame
    // keeps a power flag the programmer understands.
    const char digit = reply.at(6);
    if (digit == '0' || digit == '1')
        s.link.PowerSetting = static_cast<quint8>(digit - '0');
    sendCommand(CommandCode::SetChip, s.link.PowerSetting);
}

void ReplyHandler::recordStarted() {
    const int state = s.link.LinkState;
    if (state == LinkContext::StateRecording || state == LinkContext::StateRecordingTable) {
        s.link.RecordingRuns = true;
        s.link.IgnorePlayEnd = false;
        s.player.Play();
        sets.LockLocalPlay();
    } else if (state == LinkContext::StateErasing) {
        sets.LockLocalPlay();
    }
}

void ReplyHandler::finished(const QByteArray& reply) {
    const int state = s.link.LinkState;
    // What the status bar may claim: a recording that ran has ended at the
    // programmer's word, an erase (always of the whole memory) is done.
    if ((state == LinkContext::StateRecording || state == LinkContext::StateRecordingTable) &&
        s.link.RecordingRuns)
        ++s.link.RecordingsConfirmed;
    else if (state == LinkContext::StateErasing)
        ++s.link.ErasesConfirmed;
    s.link.RecordingRuns = false;
    if (state != LinkContext::StateIdle)
        TransferAddress(reply);
    s.link.StopRequested = false;
    s.commands.setEnabled({Control::PlayFromChipButton, Control::ChangePortItem,
                           Control::ChangeChipTypeItem, Control::MemoryScanItem,
                           Control::PlayTableItem, Control::ScanChipHidden,
                           Control::LoadMemoryMapButton, Control::PlayFromChipItem},
                          true);
    s.commands.setEnabled({Control::StopChipButton, Control::StopChipItem}, false);
    sets.UpdateFileCommands();
    s.commands.setEnabled({Control::CheckRecordsItem},
                          !s.fileGrid.cell(FileColumn::Start, 1).isEmpty());
    if (state == LinkContext::StateRecording || state == LinkContext::StateErasing) {
        s.link.LinkState = LinkContext::StateIdle;
        TransferAddress(reply);
        s.link.IgnorePlayEnd = true;
        StopLocalPlay();
    } else if (state == LinkContext::StateRecordingTable) {
        TransferAddress(reply);
        recording.nextRow();
    }
}

void ReplyHandler::noDevice() {
    ++s.link.OperationsFailed;
    s.link.RecordingRuns = false;
    s.link.PowerSetting = 0;
    s.frames.setPower(0);
    s.link.LinkState = LinkContext::StateIdle;
    s.link.IgnorePlayEnd = true;
    StopLocalPlay();
    s.prompter.showMessage(QStringLiteral("Device not detected !"));
    s.prompter.showMessage(QStringLiteral("Please select right ISD device"));
    ShowStartOfMemory();
    sets.EnableChipCommands(eraseAndMap);
}

void ReplyHandler::endOfMessageWhileChecking(const QByteArray& reply) {
    TransferAddress(reply);
    s.memoryMap.AddMapRecord(s.link.CurrentAddress, quint16(s.link.ReplyAddress - 1));
    if (s.link.StopRequested) {
        s.link.StopRequested = false;
        s.link.LinkState = LinkContext::StateIdle;
        sets.EnableChipCommands({true, false, true});
        return;
    }
    s.link.TableRow += 1;
    if (beyondChip()) {
        ShowAddressErrors();
        ShowStartOfMemory();
        s.memoryMap.ClearMemoryMap();
        s.link.LinkState = LinkContext::StateIdle;
        sets.EnableChipCommands({true, true, true});
        return;
    }
    const int row = s.link.TableRow;
    const QString start = s.fileGrid.cell(FileColumn::Start, row);
    if (!start.isEmpty()) {
        // A file without a start address is looked for where the previous record ended.
        if (start != AddressText::notUsed())
            s.panel.setText(PanelTexts::Address,
                            AddressText::dec(AddressText::toIntegerOrFail(start)));
        s.frames.TransferAddress();
        s.frame.setCommand(CommandCode::Scan);
        s.frames.setStopAtLastAddress();
        s.frames.setStepPower(!s.fileGrid.cell(FileColumn::Start, row + 1).isEmpty());
        s.link.LinkState = LinkContext::StateChecking;
        sets.DisableChipCommands();
        s.frames.send();
    } else {
        s.link.LinkState = LinkContext::StateIdle;
        s.frame.setCommand(CommandCode::Stop);
        s.frames.setStopAtLastAddress();
        s.frames.setPower(s.link.PowerSetting);
        sets.EnableChipCommands({true, false, false});
        const QString first = s.mapGrid.cell(MapColumn::Start, 1);
        s.panel.setText(PanelTexts::Address, first);
        if (const auto value = AddressText::toInteger(first))
            s.panel.setText(PanelTexts::TimeToEnd, s.chip.TimeToEndText(quint16(*value)));
        s.frames.send();
    }
}

void ReplyHandler::stopAfterUserStop() {
    s.link.StopRequested = false;
    s.link.LinkState = LinkContext::StateIdle;
    sendCommand(CommandCode::Stop, s.link.PowerSetting);
    sets.EnableChipCommands(mapOnly);
}
