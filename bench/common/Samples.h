#pragma once

#include <algorithm>
#include <chrono>
#include <numeric>
#include <vector>

namespace qm::bench {

// Timings of one thing measured many times, in milliseconds.
struct Samples {
    std::vector<double> ms;

    void add(double value) { ms.push_back(value); }
    double mean() const {
        return ms.empty() ? 0 : std::accumulate(ms.begin(), ms.end(), 0.0) / double(ms.size());
    }
    // p in [0, 1]: 0.5 the median, 1 the maximum.
    double percentile(double p) const {
        if (ms.empty()) return 0;
        std::vector<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        return sorted[static_cast<size_t>(p * double(sorted.size() - 1))];
    }
};

// Milliseconds of the steady clock since `start`.
inline double msSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

}  // namespace qm::bench
