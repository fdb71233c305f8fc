#include "filerowselect.h"

#include "addresstext.h"
#include "chips/chipcontrol.h"
#include "core/paneltexts.h"
#include "core/prompter.h"
#include "core/stringgrid.h"
#include "core/tablelayout.h"

FileRowSelect::FileRowSelect(StringGrid& files_, PanelTexts& panel_, const ChipControl& chip_,
                             Prompter& prompter_)
    : fileGrid(files_), panel(panel_), chip(chip_), prompter(prompter_) {}

void FileRowSelect::fileRowClicked() {
    if (fileGrid.cell(FileColumn::Start, 1).isEmpty())
        return;
    const int s = fileGrid.Row();
    const QString start = fileGrid.cell(FileColumn::Start, s);
    if (start.isEmpty() || start == AddressText::notUsed())
        return;
    if (const auto v = AddressText::toInteger(start)) {
        panel.setText(PanelTexts::Address, AddressText::dec(*v));
        panel.setText(PanelTexts::TimeToEnd, chip.TimeToEndText(static_cast<quint16>(*v)));
    } else {
        prompter.showMessage(QStringLiteral("Bad Cell format !"));
        fileGrid.setCell(FileColumn::Start, s, AddressText::notUsed());
    }
    // A stop cell that is no number would only trip up recording later.
    if (!AddressText::toInteger(fileGrid.cell(FileColumn::Stop, s)))
        fileGrid.setCell(FileColumn::Stop, s, AddressText::notUsed());
}

void FileRowSelect::SelectFileRow(int row) {
    if (row == fileGrid.Row())
        return;
    fileGrid.setRow(row);
    fileRowClicked();
}
