#include "commandframes.h"

#include "chips/chipcatalogue.h"
#include "chips/chipcontrol.h"
#include "commandframe.h"
#include "comport.h"
#include "core/apperror.h"
#include "core/paneltexts.h"
#include "linkstate.h"

CommandFrames::CommandFrames(CommandFrame& frame_, ChipControl& chip_, LinkContext& link_,
                             PanelTexts& panel_, ComPort& port_)
    : frame(frame_), chip(chip_), link(link_), panel(panel_), port(port_) {}

void CommandFrames::TransferAddress() {
    const QString text = panel.address();
    bool ok = false;
    const qulonglong value = text.trimmed().toULongLong(&ok, 10);
    if (!ok)
        throw AppError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    // Only 16 bits travel; the number on the display may be larger.
    const quint16 address = static_cast<quint16>(value & 0xFFFF);
    frame[FrameByte::StartHigh] = static_cast<quint8>(address >> 8);
    frame[FrameByte::StartLow] = static_cast<quint8>(address & 0xFF);
    link.CurrentAddress = qMin(address, chip.LastAddress);
}

void CommandFrames::prepare(CommandCode command) {
    TransferAddress();
    chip.writeChipCodes(chip.ChipType);
    frame.setCommand(command);
}

void CommandFrames::setStopAtLastAddress() {
    frame[FrameByte::StopGiven] = 0;
    frame[FrameByte::StopHigh] = static_cast<quint8>(chip.LastAddress >> 8);
    frame[FrameByte::StopLow] = static_cast<quint8>(chip.LastAddress & 0xFF);
}

void CommandFrames::setStopAddress(quint16 stop) {
    frame[FrameByte::StopGiven] = 1;
    frame[FrameByte::StopHigh] = static_cast<quint8>(stop >> 8);
    frame[FrameByte::StopLow] = static_cast<quint8>(stop & 0xFF);
}

void CommandFrames::setLastAddressCopyLowFirst() {
    frame[FrameByte::LastAddressCopy] = static_cast<quint8>(chip.LastAddress & 0xFF);
    frame[FrameByte::LastAddressCopy + 1] = static_cast<quint8>(chip.LastAddress >> 8);
}

void CommandFrames::setPower(quint8 power) {
    frame[FrameByte::PowerFlag] = power;
}

void CommandFrames::setStepPower(bool anotherRowFollows) {
    setPower(anotherRowFollows ? 1 : link.PowerSetting);
}

void CommandFrames::clearScanByte() {
    frame[FrameByte::ScanByte] = 0;
}

void CommandFrames::send() {
    port.WriteBuf(frame.data(), CommandFrame::Size);
}

bool CommandFrames::sendWhenOutputIdle() {
    // A command chosen again while its first frame is still on its way is
    // the same command: it goes out once.
    if (port.WriteBufUsed() != 0)
        return false;
    send();
    return true;
}

void CommandFrames::PowerUp() {
    link.PowerSetting = 1;
    frame.setCommand(CommandCode::PowerUp);
    setPower(1);
    send();
}

void CommandFrames::PowerDown() {
    link.PowerSetting = 0;
    frame.setCommand(CommandCode::PowerDown);
    setPower(0);
    send();
}

quint16 CommandFrames::startOfMemory() const {
    return quint16(ChipCatalogue::firstMessageRow(chip.ChipType));
}
