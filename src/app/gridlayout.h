#pragma once

#include <vector>

// Column widths of the two grids for a given window width.
namespace GridLayout {

struct Widths {
    std::vector<int> files; // the file grid, columns 0 to 3
    std::vector<int> map;   // the map grid, columns 0 to 6
};

// As laid out when the window is created.
Widths atCreate(int windowWidth);
// Whenever the window's size changes; the file grid keeps its first three
// columns as they are.
Widths atResize(int windowWidth, const std::vector<int>& files);

} // namespace GridLayout
