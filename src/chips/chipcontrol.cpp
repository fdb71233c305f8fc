#include "chipcontrol.h"

#include "chipcatalogue.h"
#include "core/configfile.h"
#include "core/paneltexts.h"
#include "link/commandframe.h"
#include "link/comport.h"

ChipControl::ChipControl(PanelTexts& panel_, CommandFrame& frame_, ComPort& port_)
    : panel(panel_), frame(frame_), port(port_) {}

void ChipControl::ApplyChipType() {
    TotalSeconds = 60.0f;
    LastAddress = 399;
    panel.setText(PanelTexts::ChipName, QStringLiteral("ISD 33060"));
    panel.setText(PanelTexts::TotalTime, QStringLiteral("60 sek."));
    panel.setText(PanelTexts::Address, QStringLiteral("00000"));
    panel.setText(PanelTexts::AddressHex, QStringLiteral("0000"));
    panel.setText(PanelTexts::TimeToEnd, TimeToEndText(0));

    ShownChipType = ChipType;
    if (const ChipInfo* chip = ChipCatalogue::find(ShownChipType)) {
        panel.setText(PanelTexts::ChipName, QString::fromLatin1(chip->name));
        panel.setText(PanelTexts::TotalTime, QString::fromLatin1(chip->timeText));
        TotalSeconds = chip->totalSeconds;
        frame.setCommand(CommandCode::SetChip);
        frame[3] = chip->family;
        if (ShownChipType >= 21 && ShownChipType <= 40)
            frame[9] = chip->sampleRateCode;
        port.WriteBuf(frame.data(), CommandFrame::Size);
        LastAddress = chip->lastAddress;
        if (ChipCatalogue::isIsd1700(ShownChipType)) {
            // Low byte first here; writeChipCodes writes the same value high byte
            // first. The programmer takes both.
            frame[10] = static_cast<quint8>(LastAddress & 0xFF);
            frame[11] = static_cast<quint8>(LastAddress >> 8);
        }
    }
    panel.setText(PanelTexts::Address, QStringLiteral("00000"));
    panel.setText(PanelTexts::TimeToEnd, TimeToEndText(0));
}

void ChipControl::writeChipCodes(int) {
    const ChipInfo* chip = ChipCatalogue::find(ChipType);
    if (chip == nullptr)
        return;
    frame.setCommand(CommandCode::SetChip);
    frame[3] = chip->family;
    if (ChipType >= 21 && ChipType <= 40)
        frame[9] = chip->sampleRateCode;
    if (ChipCatalogue::isIsd1700(ChipType)) {
        LastAddress = chip->commandLastAddress;
        frame[10] = static_cast<quint8>(LastAddress >> 8);
        frame[11] = static_cast<quint8>(LastAddress & 0xFF);
        frame[12] = chip->sizeCode;
    }
}

void ChipControl::MaskChipAddress(quint16& address) const {
    const ChipInfo* chip = ChipCatalogue::find(ChipType);
    if (chip != nullptr && chip->addressMask != 0)
        address &= chip->addressMask;
}

QString ChipControl::TimeToEndText(quint16 address) const {
    if (ChipType >= ChipCatalogue::FirstIsd1700)
        return QStringLiteral("Rosc");
    const int rows = int(LastAddress) + 1;
    const float seconds =
        static_cast<float>(double(rows - int(address)) * double(TotalSeconds) / double(rows));
    return QString::asprintf("%7.2f sek.", double(seconds));
}

qint8 ChipControl::chipTypeFromSetting(const QString& text) {
    const std::optional<int> value = ConfigFile::parseDecimal(text);
    // The program never writes a value above 50; one that got into the file
    // is treated like any other unusable value.
    if (!value || *value < 1 || *value > ChipCatalogue::Count)
        return 1;
    return static_cast<qint8>(*value);
}
