// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/words.h"

#include <algorithm>
#include <charconv>

namespace orv::cli {

namespace {

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

bool sameWord(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return lower(x) == lower(y); });
}

std::optional<long> wholeValue(std::string_view text, long largest) {
    if (text.empty() || !std::all_of(text.begin(), text.end(), isDigit)) {
        return std::nullopt;
    }
    long value = 0;
    for (const char c : text) {
        value = value * 10 + (c - '0');
        if (value > largest) {
            return std::nullopt;
        }
    }
    return value;
}

std::optional<std::uint8_t> hexByte(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && lower(text[1]) == 'x') {
        text.remove_prefix(2);
    }
    if (text.empty() || text.size() > 2) {
        return std::nullopt;
    }
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(value);
}

}  // namespace orv::cli
