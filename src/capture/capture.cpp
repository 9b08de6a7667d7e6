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
#include "capture/settings_header.h"

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
    text += settingsLines(info, count);
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
    SettingsHeader header;
    if (std::optional<std::string> refused = readSettingsLines(lines, kColumnHeader, header)) {
        return {std::nullopt, *refused};
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
