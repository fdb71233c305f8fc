#pragma once

class ChipControl;
class PanelTexts;
class Prompter;
class StringGrid;

// What selecting a row of the file table does: its start address becomes the
// current address that the next chip command starts from.
class FileRowSelect {
public:
    FileRowSelect(StringGrid& fileGrid, PanelTexts& panel, const ChipControl& chip,
                  Prompter& prompter);

    // The user clicked the selected row or moved to it.
    void fileRowClicked();
    // Another part of the program selects a row; the row's address is shown
    // only when the selection actually moves.
    void SelectFileRow(int row);

private:
    StringGrid& fileGrid;
    PanelTexts& panel;
    const ChipControl& chip;
    Prompter& prompter;
};
