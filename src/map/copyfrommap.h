#pragma once

class StringGrid;
#include <functional>

// Taking addresses found in the chip into the file table instead of typing
// them. Cell texts are copied as they stand; nothing is checked.
class CopyFromMap {
public:
    CopyFromMap(StringGrid& files, const StringGrid& map, std::function<void()> scrollFilesToTop);

    // The selected message's start into the selected file's start cell.
    void StartAdress3Click();
    // The selected message's end (EOM) into the selected file's stop cell.
    void StopAdress3Click();
    // Start and end of the n-th message into the n-th file, as far as both go.
    void Table1Click();

private:
    void copySelected(int mapCol, int fileCol);

    StringGrid& files;
    const StringGrid& map;
    std::function<void()> scrollFilesToTop;
};
