// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/capture.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <system_error>
#include <utility>

#include "analysis/number_text.h"

namespace orv {

namespace {

constexpr std::string_view kColumnHeader = "index,code,volts";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::int64_t kLowestCode = -8388608;
constexpr std::int64_t kHighestCode = 8388607;
constexpr std::int64_t kMostResults = 65535;
constexpr std::string_view kCodeRange = "outside -8388608..8388607";

// --- Text --------------------------------------------------------------------

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

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

bool isControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

// A free text as one line of the header: control characters (line breaks
// among them) become spaces, blanks at either end go. Writing and reading
// both apply it, so what is read writes back unchanged.
std::string oneLine(std::string_view text) {
    std::string line(text);
    for (char& c : line) {
        if (isControl(c)) {
            c = ' ';
        }
    }
    return std::string(trimmed(line));
}

// Text from the file quoted in a message: at most 40 bytes, cut between
// UTF-8 sequences, control characters shown as '?'.
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

// --- Numbers (std::from_chars: no locale, no exceptions) ---------------------

// A whole number: digits with an optional leading minus, nothing else. One
// beyond 64 bits reads as the nearest 64-bit number, so that it is refused
// as out of range rather than as not a number.
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

// A finite decimal number, fixed or scientific.
std::optional<double> finiteNumber(std::string_view text) {
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (text.empty() || result.ec != std::errc() || result.ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
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

// "2026-12-11T12:00:00Z" exactly; a second of 60 is a leap second.
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

// Eleven bytes of two hexadecimal digits each, separated by blanks.
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

// --- Lines -------------------------------------------------------------------

// The lines of a text, each without its LF or CR LF. The last line needs no
// line break; nothing follows a final one.
class Lines {
public:
    explicit Lines(std::string_view text) : rest_(text) {}

    // The next line, or nothing at the end of the text.
    std::optional<std::string_view> next() {
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

    // The number, from 1, of the line `next` returned last; at the end, the
    // number a further line would have had.
    std::size_t number() const { return number_; }

private:
    std::string_view rest_;
    std::size_t number_ = 0;
    bool atEnd_ = false;
};

CaptureReading refusal(std::size_t line, const std::string& why) {
    return {std::nullopt, "line " + std::to_string(line) + ": " + why};
}

// --- The capture's header ----------------------------------------------------

struct Header {
    CaptureInfo info;
    std::optional<std::size_t> count;
};

// Each known key's reader takes the trimmed value and returns why it is
// refused, or nothing.
using KeyReader = std::optional<std::string> (*)(std::string_view value, Header& header);

std::optional<std::string> readCreated(std::string_view value, Header& header) {
    if (value.empty()) {
        return std::nullopt;
    }
    header.info.created = parseUtc(value);
    if (!header.info.created) {
        return "created " + quoted(value) + " is not a UTC time such as 2026-12-11T12:00:00Z";
    }
    return std::nullopt;
}

std::optional<std::string> readTool(std::string_view value, Header& header) {
    header.info.tool = oneLine(value);
    return std::nullopt;
}

std::optional<std::string> readPort(std::string_view value, Header& header) {
    header.info.port = oneLine(value);
    return std::nullopt;
}

std::optional<std::string> readRegisters(std::string_view value, Header& header) {
    if (value.empty()) {
        return std::nullopt;
    }
    header.info.registers = parseRegisters(value);
    if (!header.info.registers) {
        return "registers " + quoted(value) +
               " are not eleven bytes in hexadecimal such as 30 01 20 F0 E1 00 00 00 3E 5A 45";
    }
    return std::nullopt;
}

std::optional<std::string> readGain(std::string_view value, Header& header) {
    const std::optional<std::int64_t> gain = wholeNumber(value);
    if (!gain || *gain < 1 || *gain > 64 || (*gain & (*gain - 1)) != 0) {
        return "gain " + quoted(value) + " is not one of 1, 2, 4, 8, 16, 32 and 64";
    }
    header.info.scale.gain = static_cast<int>(*gain);
    return std::nullopt;
}

// Twice Vref must be finite too, or the volts of the largest codes would not
// be numbers.
std::optional<std::string> readVref(std::string_view value, Header& header) {
    const std::optional<double> vref = finiteNumber(value);
    if (!vref || *vref <= 0.0 || !std::isfinite(2.0 * *vref)) {
        return "vref_v " + quoted(value) + " is not a positive number of volts";
    }
    header.info.scale.vref = *vref;
    return std::nullopt;
}

std::optional<std::string> readRate(std::string_view value, Header& header) {
    if (value.empty()) {
        return std::nullopt;
    }
    const std::optional<double> rate = finiteNumber(value);
    if (!rate || *rate <= 0.0) {
        return "rate_sps " + quoted(value) + " is not a positive number of samples per second";
    }
    header.info.scale.rateHz = rate;
    return std::nullopt;
}

std::optional<std::string> readCount(std::string_view value, Header& header) {
    const std::optional<std::int64_t> count = wholeNumber(value);
    if (!count || *count < 1 || *count > kMostResults) {
        return "count " + quoted(value) + " is not a whole number from 1 to 65535";
    }
    header.count = static_cast<std::size_t>(*count);
    return std::nullopt;
}

struct Key {
    std::string_view name;
    KeyReader read;
};

// In the order they are written.
constexpr std::array<Key, 8> kKeys{{
    {"created", readCreated},
    {"tool", readTool},
    {"port", readPort},
    {"registers", readRegisters},
    {"gain", readGain},
    {"vref_v", readVref},
    {"rate_sps", readRate},
    {"count", readCount},
}};

// "# key: value" lines up to the column header, in any order. Lines without
// a ':' and keys not known are skipped; a known key twice is refused, as
// the file would say two things. Empty lines are skipped.
std::optional<CaptureReading> readHeader(Lines& lines, Header& header) {
    std::array<bool, kKeys.size()> seen{};
    while (const std::optional<std::string_view> line = lines.next()) {
        if (*line == kColumnHeader) {
            if (!header.count) {
                return refusal(lines.number(), "no \"count\" line before the column header");
            }
            return std::nullopt;
        }
        if (trimmed(*line).empty()) {
            continue;
        }
        if (!line->starts_with('#')) {
            return refusal(lines.number(), quoted(*line) +
                                               " is neither a \"#\" line nor the column "
                                               "header \"index,code,volts\"");
        }
        const std::string_view content = line->substr(1);
        const std::size_t colon = content.find(':');
        if (colon == std::string_view::npos) {
            continue;
        }
        const std::string_view name = trimmed(content.substr(0, colon));
        for (std::size_t k = 0; k < kKeys.size(); ++k) {
            if (kKeys[k].name != name) {
                continue;
            }
            if (std::exchange(seen[k], true)) {
                return refusal(lines.number(), "a second \"" + std::string(name) + "\" line");
            }
            if (const auto why = kKeys[k].read(trimmed(content.substr(colon + 1)), header)) {
                return refusal(lines.number(), *why);
            }
        }
    }
    return refusal(lines.number(), "the file ends before the column header \"index,code,volts\"");
}

// --- The capture's rows ------------------------------------------------------

// A row's three fields, or nothing when it does not have three.
std::optional<std::array<std::string_view, 3>> fieldsOf(std::string_view row) {
    std::array<std::string_view, 3> fields;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        const std::size_t comma = row.find(',');
        const bool last = k + 1 == fields.size();
        if (last != (comma == std::string_view::npos)) {
            return std::nullopt;
        }
        fields[k] = row.substr(0, comma);
        row.remove_prefix(last ? row.size() : comma + 1);
    }
    return fields;
}

// One row: the next index, a code in range, and volts that name the same
// code. The volts need only be within half a code of the code's own volts:
// they are there for other programs, but a file cut inside a row, or a
// header edited without its rows, leaves volts that disagree.
std::optional<std::string> readRow(std::string_view row, std::size_t index, double voltsPerCode,
                                   std::int32_t& code) {
    const auto fields = fieldsOf(row);
    if (!fields) {
        return quoted(row) + " is not a row index,code,volts";
    }
    const auto [indexText, codeText, voltsText] = *fields;
    const std::optional<std::int64_t> rowIndex = wholeNumber(indexText);
    if (!rowIndex) {
        return "index " + quoted(indexText) + " is not a whole number";
    }
    if (*rowIndex < 0 || static_cast<std::size_t>(*rowIndex) != index) {
        return "index " + quoted(indexText) + " where " + std::to_string(index) + " should be";
    }
    const std::optional<std::int64_t> wide = wholeNumber(codeText);
    if (!wide) {
        return "code " + quoted(codeText) + " is not a whole number";
    }
    if (*wide < kLowestCode || *wide > kHighestCode) {
        return "code " + quoted(codeText) + " is " + std::string(kCodeRange);
    }
    const std::optional<double> volts = finiteNumber(voltsText);
    if (!volts) {
        return "volts " + quoted(voltsText) + " is not a number";
    }
    const double expected = static_cast<double>(*wide) * voltsPerCode;
    if (!(std::abs(*volts - expected) <= 0.5 * voltsPerCode)) {
        return "volts " + quoted(voltsText) + " do not match code " + std::to_string(*wide) + " (" +
               analysis::shortestText(expected) + " V)";
    }
    code = static_cast<std::int32_t>(*wide);
    return std::nullopt;
}

// `count` rows after the column header; empty lines may follow them.
std::optional<CaptureReading> readRows(Lines& lines, std::size_t count,
                                       const analysis::Scale& scale,
                                       std::vector<std::int32_t>& codes) {
    const double voltsPerCode = scale.voltsPerCode();
    codes.reserve(count);
    while (const std::optional<std::string_view> line = lines.next()) {
        if (codes.size() == count) {
            if (!trimmed(*line).empty()) {
                return refusal(lines.number(),
                               "more rows than the count of " + std::to_string(count));
            }
            continue;
        }
        if (line->empty()) {
            return refusal(lines.number(), "an empty line where the row of index " +
                                               std::to_string(codes.size()) + " should be");
        }
        std::int32_t code = 0;
        if (const auto why = readRow(*line, codes.size(), voltsPerCode, code)) {
            return refusal(lines.number(), *why);
        }
        codes.push_back(code);
    }
    if (codes.size() < count) {
        return refusal(lines.number(), "the file ends after " + std::to_string(codes.size()) +
                                           " of the " + std::to_string(count) +
                                           " rows; it is not complete");
    }
    return std::nullopt;
}

// --- Writing -----------------------------------------------------------------

void appendKey(std::string& text, std::string_view name, std::string_view value) {
    text += "# ";
    text += name;
    text += ": ";
    text += value;
    text += '\n';
}

std::string registersText(const std::array<std::uint8_t, 11>& registers) {
    std::string text;
    for (const std::uint8_t value : registers) {
        std::array<char, 4> hex{};
        std::snprintf(hex.data(), hex.size(), "%02X", static_cast<unsigned>(value));
        if (!text.empty()) {
            text += ' ';
        }
        text += hex.data();
    }
    return text;
}

}  // namespace

std::string utcText(const LocalTime& utc) {
    std::array<char, 96> text{};
    std::snprintf(text.data(), text.size(), "%04d-%02d-%02dT%02d:%02d:%02dZ", utc.year, utc.month,
                  utc.day, utc.hour, utc.minute, utc.second);
    return text.data();
}

std::string captureText(const Capture& capture) {
    const CaptureInfo& info = capture.info;
    std::string text(kCaptureFirstLine);
    text += '\n';
    appendKey(text, "created", info.created ? utcText(*info.created) : std::string());
    appendKey(text, "tool", oneLine(info.tool));
    appendKey(text, "port", oneLine(info.port));
    appendKey(text, "registers", info.registers ? registersText(*info.registers) : std::string());
    appendKey(text, "gain", std::to_string(info.scale.gain));
    appendKey(text, "vref_v", analysis::shortestText(info.scale.vref));
    appendKey(text, "rate_sps",
              info.scale.rateHz ? analysis::shortestText(*info.scale.rateHz) : std::string());
    appendKey(text, "count", std::to_string(capture.codes.size()));
    text += kColumnHeader;
    text += '\n';
    const double voltsPerCode = info.scale.voltsPerCode();
    for (std::size_t index = 0; index < capture.codes.size(); ++index) {
        const std::int32_t code = capture.codes[index];
        text += std::to_string(index);
        text += ',';
        text += std::to_string(code);
        text += ',';
        text += analysis::shortestText(code * voltsPerCode);
        text += '\n';
    }
    return text;
}

CaptureReading readCapture(std::string_view text) {
    Lines lines(withoutByteOrderMark(text));
    const std::optional<std::string_view> first = lines.next();
    if (!first || trimmed(*first) != kCaptureFirstLine) {
        constexpr std::string_view kAnyVersion = "# Orvellin capture ";
        if (first && first->starts_with(kAnyVersion)) {
            return refusal(1, "a capture of version " + quoted(first->substr(kAnyVersion.size())) +
                                  "; this version of the tool reads version 1");
        }
        return refusal(
            1, "not a capture: the first line must be \"" + std::string(kCaptureFirstLine) + "\"");
    }
    Header header;
    if (std::optional<CaptureReading> refused = readHeader(lines, header)) {
        return *refused;
    }
    Capture capture{std::move(header.info), {}};
    if (std::optional<CaptureReading> refused =
            readRows(lines, *header.count, capture.info.scale, capture.codes)) {
        return *refused;
    }
    return {std::move(capture), {}};
}

CaptureReading readTextFile(std::string_view text) {
    Lines lines(withoutByteOrderMark(text));
    Capture capture;
    while (const std::optional<std::string_view> line = lines.next()) {
        const std::string_view number = trimmed(*line);
        if (number.empty()) {
            continue;
        }
        const std::optional<std::int64_t> code = wholeNumber(number);
        if (!code) {
            return refusal(lines.number(), quoted(number) + " is not a whole number");
        }
        if (*code < kLowestCode || *code > kHighestCode) {
            return refusal(lines.number(), quoted(number) + " is " + std::string(kCodeRange));
        }
        if (capture.codes.size() == kMostResults) {
            return refusal(lines.number(), "more than 65535 results");
        }
        capture.codes.push_back(static_cast<std::int32_t>(*code));
    }
    if (capture.codes.empty()) {
        return {std::nullopt, "no results: the file holds no numbers"};
    }
    return {std::move(capture), {}};
}

bool isCaptureText(std::string_view text) {
    return withoutByteOrderMark(text).starts_with('#');
}

CaptureReading readBlockFile(std::string_view text) {
    return isCaptureText(text) ? readCapture(text) : readTextFile(text);
}

}  // namespace orv
