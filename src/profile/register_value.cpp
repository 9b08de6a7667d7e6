// SPDX-License-Identifier: GPL-3.0-or-later
#include "profile/register_value.h"

namespace orv {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

std::uint32_t parseRegisterValue(std::string_view text) {
    std::size_t k = 0;
    while (k < text.size() && isSpace(text[k])) {
        ++k;
    }
    bool negative = false;
    if (k < text.size() && (text[k] == '+' || text[k] == '-')) {
        negative = text[k] == '-';
        ++k;
    }
    // Skipping a prefix that no digit follows leaves the value 0 all the
    // same, as reading its "0" alone would.
    if (text.substr(k, 2) == "0x" || text.substr(k, 2) == "0X") {
        k += 2;
    }
    std::uint64_t value = 0;
    for (; k < text.size() && hexDigit(text[k]) >= 0; ++k) {
        value = value * 16 + static_cast<std::uint64_t>(hexDigit(text[k]));
        if (value > 0xFFFFFFFFu) {
            return 0xFFFFFFFFu;
        }
    }
    const auto result = static_cast<std::uint32_t>(value);
    return negative ? static_cast<std::uint32_t>(0u - result) : result;
}

}  // namespace orv
