#include "laterstarts.h"

#include <algorithm>
#include <climits>

namespace {
// A row without a start address: below every address.
constexpr int NoStart = INT_MIN;
} // namespace

LaterStarts::LaterStarts(const std::vector<std::optional<int>>& starts) {
    while (leaves < int(starts.size()))
        leaves *= 2;
    maxima.assign(size_t(2 * leaves), NoStart);
    for (size_t i = 0; i < starts.size(); ++i)
        maxima[size_t(leaves) + i] = starts[i].value_or(NoStart);
    for (int node = leaves - 1; node >= 1; --node)
        maxima[size_t(node)] = std::max(maxima[size_t(2 * node)], maxima[size_t(2 * node + 1)]);
}

int LaterStarts::find(int node, int first, int last, int from, int above) const {
    if (last < from || maxima[size_t(node)] <= above)
        return -1;
    if (first == last)
        return first;
    const int middle = first + (last - first) / 2;
    const int left = find(2 * node, first, middle, from, above);
    if (left >= 0)
        return left;
    return find(2 * node + 1, middle + 1, last, from, above);
}

std::optional<int> LaterStarts::after(int row, std::optional<int> above) const {
    // Table row r is leaf r - 1; the rows after `row` start at leaf `row`.
    const int leaf = find(1, 0, leaves - 1, row, above.value_or(NoStart));
    if (leaf < 0)
        return std::nullopt;
    return maxima[size_t(leaves + leaf)];
}
