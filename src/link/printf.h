// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <charconv>
#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace orv {

// Every text of the tool's messages and paths is held in a buffer of this
// many characters, the terminator included.
inline constexpr std::size_t kTextBuffer = 260;

// `text` as a char buffer of `bufferSize` holds it: at most bufferSize - 1
// bytes, cut before a UTF-8 sequence that would not fit whole.
inline std::string fitBuffer(std::string_view text, std::size_t bufferSize) {
    if (bufferSize == 0) {
        return {};
    }
    if (text.size() < bufferSize) {
        return std::string(text);
    }
    std::size_t length = bufferSize - 1;
    // A continuation byte at the cut belongs to a sequence begun before it.
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
        --length;
    }
    return std::string(text.substr(0, length));
}

// printf-style formatting, the result fitted into a buffer of `bufferSize`.
// The C library formats floating-point numbers by the user's locale (a
// decimal comma under de_DE): give it integers and texts only, and numbers
// with a fraction to fixedText.
template <class... Args>
std::string printfFitted(std::size_t bufferSize, const char* format, Args... args) {
    const int length = std::snprintf(nullptr, 0, format, args...);
    if (length < 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), format, args...);
    text.pop_back();
    return fitBuffer(text, bufferSize);
}

// `value` with `decimals` digits after a decimal point, whatever the locale:
// what "%.<decimals>f" gives in the C locale.
inline std::string fixedText(double value, int decimals) {
    std::array<char, 400> text{};  // the longest double in fixed notation fits
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value,
                                      std::chars_format::fixed, decimals);
    return result.ec == std::errc() ? std::string(text.data(), result.ptr) : std::string();
}

// printf-style formatting into the tool's usual 260-character buffer.
template <class... Args>
std::string printfText(const char* format, Args... args) {
    return printfFitted(kTextBuffer, format, args...);
}

}  // namespace orv
