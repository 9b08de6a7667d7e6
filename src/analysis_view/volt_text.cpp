// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_view/volt_text.h"

#include <charconv>
#include <cmath>

#include "analysis/number_text.h"

namespace orv {

namespace {

constexpr VoltUnit kVolts{1.0, "V", 7};
constexpr VoltUnit kMillivolts{1e3, "mV", 6};
constexpr VoltUnit kMicrovolts{1e6, "\u00B5V", 3};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

VoltUnit voltUnitFor(double largestVolts) {
    const double magnitude = std::abs(largestVolts);
    if (magnitude >= 1.0) {
        return kVolts;
    }
    return magnitude >= 1e-3 ? kMillivolts : kMicrovolts;
}

std::string voltsText(double volts) {
    const VoltUnit unit = voltUnitFor(volts);
    return analysis::fixedText(volts * unit.perVolt, unit.decimals) + ' ' + unit.name;
}

std::optional<double> parseVref(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    if (text.empty() || result.ec != std::errc() || result.ptr != end || !std::isfinite(value) ||
        value <= 0.0) {
        return std::nullopt;
    }
    return value;
}

}  // namespace orv
