// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orv {

// Volts as the Analysis window writes and reads them: a point for the
// decimals whatever the locale.

// A unit for an axis of volts: a value in the unit is volts x perVolt.
// `decimals` in the unit give 0.1 µV in V, 1 nV in mV and µV: finer than a
// code at every gain where values of that size occur.
struct VoltUnit {
    double perVolt = 1.0;
    const char* name = "V";  // UTF-8
    int decimals = 7;
};

// V from 1 V up, mV from 1 mV, µV below: the unit that keeps the largest
// magnitude on the axis, `largestVolts`, between 1 and 1000.
VoltUnit voltUnitFor(double largestVolts);

// "1.2500000 V", "-3.141593 mV", "0.596 µV": in the unit voltUnitFor picks
// for `volts`, to its decimals.
std::string voltsText(double volts);

// A reference voltage typed by the user: a number with a point, blanks
// around it allowed, nothing else. Nothing unless it is positive and finite.
std::optional<double> parseVref(std::string_view text);

}  // namespace orv
