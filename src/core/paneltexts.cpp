#include "paneltexts.h"

#include "controlnames.h"

namespace {

// "%04hX" of the address text's low 16 bits; empty when the text is no number.
QString hexOf(const QString& address) {
    bool ok = false;
    const qulonglong value = address.trimmed().toULongLong(&ok, 10);
    if (!ok)
        return QString();
    return QStringLiteral("%1").arg(value & 0xFFFF, 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace

void PanelTexts::setText(Field field, const QString& value) {
    if (texts[field] != value) {
        texts[field] = value;
        emit changed(field, value);
    }
    if (field == Address)
        setText(AddressHex, hexOf(value));
}

const char* PanelTexts::controlName(Field field) {
    static const char* const names[FieldCount] = {
        ControlName::ChipNameLabel,   ControlName::TotalTimeLabel, ControlName::AddressLabel,
        ControlName::AddressHexLabel, ControlName::TimeToEndLabel, ControlName::PortNumberLabel};
    return names[field];
}
