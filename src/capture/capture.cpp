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
#include "capture/file_text.h"

namespace orv {

namespace {

using namespace file_text;

constexpr std::string_view kColumnHeader = "index,code,volts";
constexpr std::int64_t kLowestCode = -8388608;
constexpr std::int64_t kHighestCode = 8388607;
constexpr std::int64_t kMostResults = 65535;
constexpr std::string_view kCodeRange = "outside -8388608..8388607";

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

std::string captureHeader(const CaptureInfo& info, std::size_t count) {
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
    appendKey(text, "count", std::to_string(count));
    text += kColumnHeader;
    text += '\n';
    return text;
}

void appendCaptureRow(std::string& rows, std::size_t index, std::int32_t code,
                      const analysis::Scale& scale) {
    rows += std::to_string(index);
    rows += ',';
    rows += std::to_string(code);
    rows += ',';
    rows += analysis::shortestText(code * scale.voltsPerCode());
    rows += '\n';
}

std::string captureText(const Capture& capture) {
    std::string text = captureHeader(capture.info, capture.codes.size());
    for (std::size_t index = 0; index < capture.codes.size(); ++index) {
        appendCaptureRow(text, index, capture.codes[index], capture.info.scale);
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
