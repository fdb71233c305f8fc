#include "paneltexts.h"

#include "controlnames.h"

void PanelTexts::setText(Field field, const QString& value) {
    if (texts[field] == value)
        return;
    texts[field] = value;
    emit changed(field, value);
}

const char* PanelTexts::controlName(Field field) {
    static const char* const names[FieldCount] = {
        ControlName::ChipNameLabel,   ControlName::TotalTimeLabel, ControlName::AddressLabel,
        ControlName::AddressHexLabel, ControlName::TimeToEndLabel, ControlName::PortNumberLabel};
    return names[field];
}
