// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/settings_header.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "analysis/number_text.h"

namespace orv {

namespace {

using namespace file_text;

constexpr std::int64_t kMostResults = 65535;

// Each known key's reader takes the trimmed value and returns why it is
// refused, or nothing.
using KeyReader = std::optional<std::string> (*)(std::string_view value, SettingsHeader& header);

std::optional<std::string> readCreated(std::string_view value, SettingsHeader& header) {
    if (value.empty()) {
        return std::nullopt;
    }
    header.info.created = parseUtc(value);
    if (!header.info.created) {
        return "created " + quoted(value) + " is not a UTC time such as 2026-12-11T12:00:00Z";
    }
    return std::nullopt;
}

std::optional<std::string> readTool(std::string_view value, SettingsHeader& header) {
    header.info.tool = oneLine(value);
    return std::nullopt;
}

std::optional<std::string> readPort(std::string_view value, SettingsHeader& header) {
    header.info.port = oneLine(value);
    return std::nullopt;
}

std::optional<std::string> readRegisters(std::string_view value, SettingsHeader& header) {
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

std::optional<std::string> readGain(std::string_view value, SettingsHeader& header) {
    const std::optional<std::int64_t> gain = wholeNumber(value);
    if (!gain || *gain < 1 || *gain > 64 || (*gain & (*gain - 1)) != 0) {
        return "gain " + quoted(value) + " is not one of 1, 2, 4, 8, 16, 32 and 64";
    }
    header.info.scale.gain = static_cast<int>(*gain);
    return std::nullopt;
}

// Twice Vref must be finite too, or the volts of the largest codes would not
// be numbers.
std::optional<std::string> readVref(std::string_view value, SettingsHeader& header) {
    const std::optional<double> vref = finiteNumber(value);
    if (!vref || *vref <= 0.0 || !std::isfinite(2.0 * *vref)) {
        return "vref_v " + quoted(value) + " is not a positive number of volts";
    }
    header.info.scale.vref = *vref;
    return std::nullopt;
}

std::optional<std::string> readRate(std::string_view value, SettingsHeader& header) {
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

std::optional<std::string> readCount(std::string_view value, SettingsHeader& header) {
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
std::string refusalAt(std::size_t line, const std::string& why) {
    return "line " + std::to_string(line) + ": " + why;
}

}  // namespace

std::optional<std::string> readSettingsLines(Lines& lines, std::string_view columnHeader,
                                             SettingsHeader& header) {
    std::array<bool, kKeys.size()> seen{};
    while (const std::optional<std::string_view> line = lines.next()) {
        if (*line == columnHeader) {
            if (!header.count) {
                return refusalAt(lines.number(), "no \"count\" line before the column header");
            }
            return std::nullopt;
        }
        if (trimmed(*line).empty()) {
            continue;
        }
        if (!line->starts_with('#')) {
            return refusalAt(lines.number(),
                             quoted(*line) + " is neither a \"#\" line nor the column header \"" +
                                 std::string(columnHeader) + "\"");
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
                return refusalAt(lines.number(), "a second \"" + std::string(name) + "\" line");
            }
            if (const auto why = kKeys[k].read(trimmed(content.substr(colon + 1)), header)) {
                return refusalAt(lines.number(), *why);
            }
        }
    }
    return refusalAt(lines.number(), "the file ends before the column header \"" +
                                         std::string(columnHeader) + "\"");
}

namespace {

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

std::string settingsLines(const CaptureInfo& info, std::size_t count) {
    std::string text;
    appendKey(text, "created", info.created ? utcText(*info.created) : std::string());
    appendKey(text, "tool", oneLine(info.tool));
    appendKey(text, "port", oneLine(info.port));
    appendKey(text, "registers", info.registers ? registersText(*info.registers) : std::string());
    appendKey(text, "gain", std::to_string(info.scale.gain));
    appendKey(text, "vref_v", analysis::shortestText(info.scale.vref));
    appendKey(text, "rate_sps",
              info.scale.rateHz ? analysis::shortestText(*info.scale.rateHz) : std::string());
    appendKey(text, "count", std::to_string(count));
    return text;
}

}  // namespace orv
