// Timing for the benchmarks run under Wine: the performance counter in
// seconds, and the median of repeated measurements (the mean of the middle
// two for an even count).
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

namespace benchclock {

inline double Seconds() {
    static const LARGE_INTEGER kFrequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(kFrequency.QuadPart);
}

inline double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace benchclock
