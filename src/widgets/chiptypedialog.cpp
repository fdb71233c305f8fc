#include "chiptypedialog.h"

#include "chips/chipcatalogue.h"
#include "chips/chipcontrol.h"
#include "core/configfile.h"
#include "core/controlnames.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGridLayout>
#include <QPushButton>
#include <QRadioButton>

namespace {
constexpr int Top = 16;
constexpr int Margin = 12;
// Buttons at least this high, 24 pixels apart as designed.
constexpr int ButtonHeight = 20;
constexpr int RowGap = 4;
constexpr int ColumnGap = 12;
constexpr int Rows = 13;
// First index of each of the four columns, and one past the last.
constexpr int columnStart[] = {1, 14, 27, 40, 51};
} // namespace

ChipTypeDialog::ChipTypeDialog(ChipControl& chip_, QWidget* parent) : QDialog(parent), chip(chip_) {
    setObjectName(QString::fromLatin1(ControlName::ChipTypeDialog));
    setAccessibleDescription(objectName());
    setWindowTitle(QStringLiteral("Change ISD Device "));
    // Four columns of buttons with lines between them; the dialog takes the
    // size its captions need, so that none is cut, and cannot be resized.
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(Margin, Top, Margin, Margin);
    grid->setVerticalSpacing(RowGap);
    grid->setHorizontalSpacing(ColumnGap);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    auto* group = new QButtonGroup(this);
    for (int column = 0; column < 4; ++column) {
        for (int index = columnStart[column]; index < columnStart[column + 1]; ++index) {
            const ChipInfo* info = ChipCatalogue::find(index);
            auto* button = new QRadioButton(QString::fromLatin1(info->caption), this);
            button->setObjectName(QString::fromLatin1(ControlName::ChipTypeButton).arg(index));
            button->setAccessibleDescription(button->objectName());
            button->setMinimumHeight(ButtonHeight);
            grid->addWidget(button, index - columnStart[column], 2 * column, Qt::AlignTop);
            group->addButton(button, index);
            buttons[index - 1] = button;
        }
        if (column > 0) {
            auto* line = new QFrame(this);
            line->setFrameShape(QFrame::VLine);
            line->setFrameShadow(QFrame::Sunken);
            grid->addWidget(line, 0, 2 * column - 1, Rows, 1);
        }
    }
    ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QString::fromLatin1(ControlName::OkButton));
    ok->setAccessibleDescription(ok->objectName());
    ok->setDefault(true);
    // At the lower right of the fourth column, below ISD 50.
    grid->addWidget(ok, Rows - 1, 6, Qt::AlignRight | Qt::AlignBottom);
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
