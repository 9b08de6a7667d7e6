// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace orv {

// The blanks the private-profile rules trim around names and values. Line
// breaks never get this far: they end the line first.
constexpr bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

constexpr std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Case is folded for the ASCII letters only; every other byte matches itself.
constexpr char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t k = 0; k < a.size(); ++k) {
        if (asciiLower(a[k]) != asciiLower(b[k])) {
            return false;
        }
    }
    return true;
}

}  // namespace orv
