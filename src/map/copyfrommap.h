#pragma once

class StringGrid;
#include <functional>

// Taking addresses found in the chip into the file table instead of typing
// them. Cell texts are copied as they stand; nothing is checked.
class CopyFromMap {
public:
    CopyFromMap(StringGrid& fileGrid, const StringGrid& mapGrid,
                std::function<void()> scrollFilesToTop);

    // The selected message's start into the selected file's start cell.
    void copyStartFromMap();
    // The selected message's end (EOM) into the selected file's stop cell.
    void copyStopFromMap();
    // Start and end of the n-th message into the n-th file, as far as both go.
    void copyTableFromMap();

private:
    void copySelected(int mapCol, int fileCol);

    StringGrid& fileGrid;
    const StringGrid& mapGrid;
    std::function<void()> scrollFilesToTop;
};
