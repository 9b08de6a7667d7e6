// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace orv::sim {

// What the EVM does about one frame: after `delay` it sends `bytes`, and once
// they are out it hangs up if `hangUp` is set (the port disappears).
// `conversionRate` is set for data items (four bytes each): on a paced wire,
// item k leaves no sooner than k + 1 conversions after the start, at that
// many conversions a second.
struct Reaction {
    std::chrono::milliseconds delay{0};
    std::vector<std::uint8_t> bytes{};
    bool hangUp = false;
    double conversionRate = 0.0;

    bool operator==(const Reaction&) const = default;
};

// How a transport puts reaction bytes on the wire: all at once, or one at a
// time at 115200 baud with ten bits per byte (start, eight data, stop).
enum class Wire { Instant, Paced };

inline constexpr long long kBytesPerSecond = 11520;

// When byte `index` of a paced reaction is on the wire, counted from the
// reaction's start and rounded up to the next nanosecond. Computed from the
// index, never by summing byte times, so that long blocks do not drift.
constexpr std::chrono::nanoseconds pacedOffset(std::size_t index) {
    constexpr long long kNanosPerSecond = 1'000'000'000;
    const auto i = static_cast<long long>(index);
    return std::chrono::nanoseconds((i * kNanosPerSecond + kBytesPerSecond - 1) / kBytesPerSecond);
}

}  // namespace orv::sim
