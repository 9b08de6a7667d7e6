// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/file_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace orv::file_text {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

std::optional<int> hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return std::nullopt;
}

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

}  // namespace

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view withoutByteOrderMark(std::string_view text) {
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    return text;
}

std::string oneLine(std::string_view text) {
    std::string line(text);
    for (char& c : line) {
        if (isControl(c)) {
            c = ' ';
        }
    }
    return std::string(trimmed(line));
}

std::string quoted(std::string_view text) {
    constexpr std::size_t kShown = 40;
    std::size_t shown = std::min(text.size(), kShown);
    if (shown < text.size()) {
        while (shown > 0 && (static_cast<unsigned char>(text[shown]) & 0xC0) == 0x80) {
            --shown;
        }
    }
    std::string out = "\"";
    for (const char c : text.substr(0, shown)) {
        out += isControl(c) ? '?' : c;
    }
    if (shown < text.size()) {
        out += "...";
    }
    return out + '"';
}

std::optional<std::int64_t> wholeNumber(std::string_view text) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (text.empty() || result.ptr != end) {
        return std::nullopt;
    }
    if (result.ec == std::errc::result_out_of_range) {
        return text.starts_with('-') ? std::numeric_limits<std::int64_t>::min()
                                     : std::numeric_limits<std::int64_t>::max();
    }
    if (result.ec != std::errc()) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> finiteNumber(std::string_view text) {
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (text.empty() || result.ec != std::errc() || result.ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<LocalTime> parseUtc(std::string_view text) {
    constexpr std::string_view kPattern = "dddd-dd-ddTdd:dd:ddZ";
    if (text.size() != kPattern.size()) {
        return std::nullopt;
    }
    for (std::size_t k = 0; k < text.size(); ++k) {
        const bool digit = text[k] >= '0' && text[k] <= '9';
        if (kPattern[k] == 'd' ? !digit : text[k] != kPattern[k]) {
            return std::nullopt;
        }
    }
    const auto field = [&](std::size_t at, std::size_t size) {
        return static_cast<int>(*wholeNumber(text.substr(at, size)));
    };
    const LocalTime time{field(0, 4),  field(5, 2),  field(8, 2),
                         field(11, 2), field(14, 2), field(17, 2)};
    if (time.month < 1 || time.month > 12 || time.day < 1 ||
        time.day > daysInMonth(time.year, time.month) || time.hour > 23 || time.minute > 59 ||
        time.second > 60) {
        return std::nullopt;
    }
    return time;
}

std::optional<std::array<std::uint8_t, 11>> parseRegisters(std::string_view text) {
    std::array<std::uint8_t, 11> registers{};
    std::size_t taken = 0;
    while (!(text = trimmed(text)).empty()) {
        if (taken == registers.size() || text.size() < 2 ||
            (text.size() > 2 && !isBlank(text[2]))) {
            return std::nullopt;
        }
        const std::optional<int> high = hexDigit(text[0]);
        const std::optional<int> low = hexDigit(text[1]);
        if (!high || !low) {
            return std::nullopt;
        }
        registers[taken++] = static_cast<std::uint8_t>(*high * 16 + *low);
        text.remove_prefix(2);
    }
    if (taken != registers.size()) {
        return std::nullopt;
    }
    return registers;
}

std::optional<std::string_view> Lines::next() {
    if (atEnd_) {
        return std::nullopt;
    }
    ++number_;
    if (rest_.empty()) {
        atEnd_ = true;
        return std::nullopt;
    }
    const std::size_t lineFeed = rest_.find('\n');
    std::string_view line = rest_.substr(0, lineFeed);
    rest_.remove_prefix(lineFeed == std::string_view::npos ? rest_.size() : lineFeed + 1);
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    return line;
}

}  // namespace orv::file_text
