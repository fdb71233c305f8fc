#include "chiptypedialog.h"

#include "chips/chipcatalogue.h"
#include "chips/chipcontrol.h"
#include "core/configfile.h"
#include "core/controlnames.h"

#include <QButtonGroup>
#include <QFrame>
#include <QPushButton>
#include <QRadioButton>

namespace {
constexpr int ColumnWidth = 150;
constexpr int Top = 16;
constexpr int Pitch = 24;
// First index of each of the four columns, and one past the last.
constexpr int columnStart[] = {1, 14, 27, 40, 51};
} // namespace

ChipTypeDialog::ChipTypeDialog(ChipControl& chip_, QWidget* parent) : QDialog(parent), chip(chip_) {
    setObjectName(QString::fromLatin1(ControlName::ChipTypeDialog));
    setAccessibleDescription(objectName());
    setWindowTitle(QStringLiteral("Change ISD Device "));
    setFixedSize(600, 341);
    auto* group = new QButtonGroup(this);
    for (int column = 0; column < 4; ++column) {
        for (int index = columnStart[column]; index < columnStart[column + 1]; ++index) {
            const ChipInfo* info = ChipCatalogue::find(index);
            auto* button = new QRadioButton(QString::fromLatin1(info->caption), this);
            button->setObjectName(QString::fromLatin1(ControlName::ChipTypeButton).arg(index));
            button->setAccessibleDescription(button->objectName());
            button->setGeometry(column * ColumnWidth + 12,
                                Top + (index - columnStart[column]) * Pitch, ColumnWidth - 16, 20);
            group->addButton(button, index);
            buttons[index - 1] = button;
        }
        if (column > 0) {
            auto* line = new QFrame(this);
            line->setFrameShape(QFrame::VLine);
            line->setFrameShadow(QFrame::Sunken);
            line->setGeometry(column * ColumnWidth, 8, 2, 341 - 16);
        }
    }
    ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QString::fromLatin1(ControlName::OkButton));
    ok->setAccessibleDescription(ok->objectName());
    ok->setDefault(true);
    ok->setGeometry(600 - 12 - 75, 341 - 12 - 25, 75, 25);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

QRadioButton* ChipTypeDialog::isdButton(int index) const {
    return index >= 1 && index <= 50 ? buttons[index - 1] : nullptr;
}

void ChipTypeDialog::loadSettings(const QString& configPath) {
    chip.ChipType = 1;
    if (const auto lines = ConfigFile::readLines(3, configPath); lines && lines->size() >= 3)
        chip.ChipType = ChipControl::chipTypeFromSetting(lines->at(2));
    chip.ApplyChipType();
}

void ChipTypeDialog::markCurrentType() {
    if (QRadioButton* button = isdButton(chip.ChipType))
        button->setChecked(true);
}

void ChipTypeDialog::showEvent(QShowEvent* event) {
    markCurrentType();
    QDialog::showEvent(event);
}

bool ChipTypeDialog::Execute() {
    return conclude(exec() == QDialog::Accepted);
}

bool ChipTypeDialog::conclude(bool confirmed) {
    if (!confirmed)
        return false;
    for (int index = 1; index <= 50; ++index) {
        if (buttons[index - 1]->isChecked()) {
            chip.ChipType = static_cast<qint8>(index);
            chip.ApplyChipType();
            return true;
        }
    }
    return false;
}
