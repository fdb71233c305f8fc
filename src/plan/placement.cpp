#include "placement.h"

#include <algorithm>

int Placement::end() const {
    if (!start)
        return limit;
    if (!lengthKnown())
        return limit;
    return std::min(limit, *start + std::max(neededRows, 1) - 1);
}
