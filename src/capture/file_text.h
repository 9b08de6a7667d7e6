// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "seams/clock.h"

// The pieces of plain text the block files' readers share. Numbers are read
// with std::from_chars: no locale, no exceptions.
namespace orv::file_text {

// Without blanks (spaces, tabs) at either end.
std::string_view trimmed(std::string_view text);

// Without a leading UTF-8 byte order mark.
std::string_view withoutByteOrderMark(std::string_view text);

// A free text as one line of a header: control characters (line breaks
// among them) become spaces, blanks at either end go. Writing and reading
// both apply it, so what is read writes back unchanged.
std::string oneLine(std::string_view text);

// Text from a file quoted in a message: at most 40 bytes, cut between
// UTF-8 sequences, control characters shown as '?'.
std::string quoted(std::string_view text);

// A whole number: digits with an optional leading minus, nothing else. One
// beyond 64 bits reads as the nearest 64-bit number, so that it is refused
// as out of range rather than as not a number.
std::optional<std::int64_t> wholeNumber(std::string_view text);

// A finite decimal number, fixed or scientific.
std::optional<double> finiteNumber(std::string_view text);

// "2026-12-11T12:00:00Z" exactly; a second of 60 is a leap second.
std::optional<LocalTime> parseUtc(std::string_view text);

// Eleven bytes of two hexadecimal digits each, separated by blanks.
std::optional<std::array<std::uint8_t, 11>> parseRegisters(std::string_view text);

// The lines of a text, each without its LF or CR LF. The last line needs no
// line break; nothing follows a final one.
class Lines {
public:
    explicit Lines(std::string_view text) : rest_(text) {}

    // The next line, or nothing at the end of the text.
    std::optional<std::string_view> next();

    // The number, from 1, of the line `next` returned last; at the end, the
    // number a further line would have had.
    std::size_t number() const { return number_; }

private:
    std::string_view rest_;
    std::size_t number_ = 0;
    bool atEnd_ = false;
};

}  // namespace orv::file_text
