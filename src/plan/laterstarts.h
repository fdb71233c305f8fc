#pragma once

#include <optional>
#include <vector>

// The start addresses of a file table's rows, to find the next message that
// bounds a file without a stop address: the first later row whose start lies
// above the file's own. Answered in logarithmic time (a tree of maxima), so
// that laying out a table stays close to linear in its rows however its
// addresses are ordered.
class LaterStarts {
public:
    // starts[i] is the start address of table row i + 1, if it has one.
    explicit LaterStarts(const std::vector<std::optional<int>>& starts);

    // The start of the first row after `row` (a table row, from 1) whose
    // start lies above `above`; with `above` empty, of the first later row
    // that has a start at all.
    std::optional<int> after(int row, std::optional<int> above) const;

private:
    // The leftmost leaf at or after `from` under `node` (covering first ..
    // last) whose value exceeds `above`; -1 when there is none.
    int find(int node, int first, int last, int from, int above) const;

    int leaves = 1;
    std::vector<int> maxima; // a heap: node n has children 2n and 2n + 1; leaves from `leaves`
};
