// SPDX-License-Identifier: GPL-3.0-or-later
#include "converter/samples.h"

namespace orv {

void BuildSampleList(std::span<const std::uint8_t> block, int count, SampleList& list) {
    list.clear();
    list.reserve(static_cast<std::size_t>(count));
    for (std::size_t k = 0; k < static_cast<std::size_t>(count); ++k) {
        const std::uint8_t* item = block.data() + kItemSize * k;
        list.push_back(sampleValue(item[0], item[1], item[2]));
    }
}

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::optional<DataCount> parseDataCount(std::string_view text) {
    long value = 0;
    for (const char c : text) {
        if (!isDigit(c)) {
            break;
        }
        value = value * 10 + (c - '0');
        if (value > kMaxDataCount) {
            return std::nullopt;
        }
    }
    if (value == 0) {
        return DataCount{kDefaultDataCount, true};
    }
    return DataCount{static_cast<int>(value), false};
}

}  // namespace orv
