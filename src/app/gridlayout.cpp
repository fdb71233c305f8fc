#include "gridlayout.h"

namespace GridLayout {

Widths atCreate(int width) {
    Widths w;
    w.files = {32, 68, 68, width - 205};
    const int d = (width - 69) / 6;
    w.map = {32, d, d, d, d, d, d};
    return w;
}

Widths atResize(int width, const std::vector<int>& files) {
    Widths w;
    w.files = files;
    w.files.resize(4, 0);
    w.files[3] = width - (w.files[0] + w.files[1] + w.files[2]) - 40;
    const int d = (width - 69) / 6;
    w.map = {29, d, d, d, d, d, width - 5 * d - 72};
    return w;
}

} // namespace GridLayout
