#include "planstatus.h"

void PlanStatus::setText(const QString& text) {
    if (text == current)
        return;
    current = text;
    emit changed(current);
}
