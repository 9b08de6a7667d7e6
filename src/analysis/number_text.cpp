// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/number_text.h"

#include <array>
#include <charconv>

namespace orv::analysis {

namespace {

// Room for any double in fixed notation with a few decimals.
using Buffer = std::array<char, 400>;

}  // namespace

std::string fixedText(double value, int decimals) {
    Buffer buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    std::string text(buffer.data(), result.ptr);
    if (!text.empty() && text.front() == '-' &&
        text.find_first_not_of("-0.") == std::string::npos) {
        text.erase(0, 1);
    }
    return text;
}

std::string shortestText(double value) {
    Buffer buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

}  // namespace orv::analysis
