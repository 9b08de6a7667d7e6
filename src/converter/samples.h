// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace orv {

// One conversion result on the wire: three bytes of a 24-bit two's-complement
// value, most significant first, then their sum modulo 256.
inline constexpr std::size_t kItemSize = 4;

// The items of one collection exactly as they arrived, check bytes included.
using RawBlock = std::vector<std::uint8_t>;

// Signed conversion results, in item order.
using SampleList = std::vector<std::int32_t>;

// The value of an item's first three bytes, sign-extended from bit 23.
constexpr std::int32_t sampleValue(std::uint8_t high, std::uint8_t middle, std::uint8_t low) {
    const std::int32_t value = (high << 16) | (middle << 8) | low;
    return high >= 0x80 ? value - (1 << 24) : value;
}

// Replaces `list` with the values of the first `count` items of `block`,
// which holds at least that many.
void BuildSampleList(std::span<const std::uint8_t> block, int count, SampleList& list);

inline constexpr int kDefaultDataCount = 45;
inline constexpr int kMaxDataCount = 65535;

// What the data-count field's text asks for: the decimal value of its leading
// digits (the first character that is not one ends the number), where no
// leading digit or the value 0 means the default count, which the field is
// then to show.
struct DataCount {
    int count = 0;
    bool defaulted = false;
};

// Empty for a count above the largest: such a text asks for nothing. Any
// other text asks for a count, also one that typing cannot produce (a paste
// of "100 " asks for 100, "4.5" for 4, "-5" for the default).
std::optional<DataCount> parseDataCount(std::string_view text);

}  // namespace orv
