// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace orv {

// The chart's four colours, 0x00BBGGRR, at their defaults.
struct ChartColours {
    std::uint32_t scale = 0xE0E0E0;       // the numbers along both axes
    std::uint32_t grid = 0x008000;        // grid lines and ticks
    std::uint32_t line = 0x0000FF;        // the trace
    std::uint32_t background = 0x101010;  // everything else
};

}  // namespace orv
