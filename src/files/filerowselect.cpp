#include "filerowselect.h"

#include "addresstext.h"
#include "chips/chipcontrol.h"
#include "core/paneltexts.h"
#include "core/prompter.h"
#include "core/stringgrid.h"

FileRowSelect::FileRowSelect(StringGrid& files_, PanelTexts& panel_, const ChipControl& chip_,
                             Prompter& prompter_)
    : files(files_), panel(panel_), chip(chip_), prompter(prompter_) {}

void FileRowSelect::ListaPlikowClick() {
    if (files.cell(1, 1).isEmpty())
        return;
    const int s = files.Row();
    const QString start = files.cell(1, s);
    if (start.isEmpty() || start == AddressText::notUsed())
        return;
    if (const auto v = AddressText::toInteger(start)) {
        panel.setText(PanelTexts::Adres, AddressText::dec(*v));
        panel.setText(PanelTexts::CzasDoKon, chip.TimeToEndText(static_cast<quint16>(*v)));
    } else {
        prompter.showMessage(QStringLiteral("Bad Cell format !"));
        files.setCell(1, s, AddressText::notUsed());
    }
    // A stop cell that is no number would only trip up recording later.
    if (!AddressText::toInteger(files.cell(2, s)))
        files.setCell(2, s, AddressText::notUsed());
}

void FileRowSelect::SelectFileRow(int row) {
    if (row == files.Row())
        return;
    files.setRow(row);
    ListaPlikowClick();
}
