// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace orv::cli {

// The small readers the command line's values go through. Each takes the
// whole text or nothing, and none depends on the locale.

// Case-blind comparison of ASCII words.
bool sameWord(std::string_view a, std::string_view b);

// A whole decimal number of digits alone, at most `largest`.
std::optional<long> wholeValue(std::string_view text, long largest);

// One or two hexadecimal digits, optionally after "0x".
std::optional<std::uint8_t> hexByte(std::string_view text);

}  // namespace orv::cli
