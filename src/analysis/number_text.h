// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace orv::analysis {

// Numbers as the figures and the Analysis window write them: a point for the
// decimals whatever the locale (std::to_chars, never the C library).

// `value` with `decimals` digits after the point; a value that rounds to
// zero reads without a minus sign ("0.000", never "-0.000").
std::string fixedText(double value, int decimals);

// The shortest text that reads back as `value`: "2.5", "30000", "4.096".
std::string shortestText(double value);

}  // namespace orv::analysis
