#include "paneltexts.h"

void PanelTexts::setText(Field field, const QString& value) {
    if (texts[field] == value)
        return;
    texts[field] = value;
    emit changed(field, value);
}

const char* PanelTexts::controlName(Field field) {
    static const char* const names[FieldCount] = {"typ",      "czas",      "adres",
                                                  "adreshex", "CzasDoKon", "commportnum"};
    return names[field];
}
