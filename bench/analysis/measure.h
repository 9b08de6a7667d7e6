// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Timing of one step of work, shared by the benchmark's sections: the step
// runs once untimed (first-use costs such as FFTW plans stay out of the
// figure), then `repeats` times, each run timed on the steady clock. The
// median is the figure, compared with the goal when there is one.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orv::bench {

struct Measurement {
    double medianMs = 0.0;
    double minimumMs = 0.0;
    double maximumMs = 0.0;
    std::optional<bool> goalMet;  // nothing without a goal
};

inline double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

inline void printSection(const std::string& title) {
    std::printf("\n%s\n", title.c_str());
}

// Prints one line: the name, the median, the spread, and "goal < X ms: yes"
// or "no" when `goalMs` is given.
inline Measurement measure(const std::string& name, std::optional<double> goalMs, int repeats,
                           const std::function<void()>& step) {
    step();
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(repeats));
    for (int i = 0; i < repeats; ++i) {
        const auto start = std::chrono::steady_clock::now();
        step();
        times.push_back(millisecondsSince(start));
    }
    std::sort(times.begin(), times.end());
    Measurement result;
    result.medianMs = times[times.size() / 2];
    result.minimumMs = times.front();
    result.maximumMs = times.back();
    std::printf("  %-34s %9.3f ms   (%.3f to %.3f)", name.c_str(), result.medianMs,
                result.minimumMs, result.maximumMs);
    if (goalMs) {
        result.goalMet = result.medianMs < *goalMs;
        std::printf("   goal < %g ms: %s", *goalMs, *result.goalMet ? "yes" : "no");
    }
    std::printf("\n");
    return result;
}

// Times `step` once, for a cost that only a first use pays.
inline double measureOnce(const std::string& name, const std::function<void()>& step) {
    const auto start = std::chrono::steady_clock::now();
    step();
    const double ms = millisecondsSince(start);
    std::printf("  %-34s %9.3f ms   (once)\n", name.c_str(), ms);
    return ms;
}

}  // namespace orv::bench
