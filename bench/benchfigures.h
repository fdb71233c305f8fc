#pragma once

#include <algorithm>
#include <cstdio>
#include <vector>

// The values of one measure over the rounds of a benchmark, printed as
// median, minimum and maximum on one line.
struct Figures {
    std::vector<double> values;
    void add(double value) { values.push_back(value); }
    void print(const char* what, const char* unit, int width = 46) {
        std::sort(values.begin(), values.end());
        if (values.empty()) {
            std::printf("%-*s no result\n", width, what);
            return;
        }
        std::printf("%-*s median %8.2f  min %8.2f  max %8.2f %s  (%zu runs)\n", width, what,
                    values[values.size() / 2], values.front(), values.back(), unit, values.size());
    }
};
