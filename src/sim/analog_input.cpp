// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/analog_input.h"

#include <cmath>
#include <numbers>

namespace orv::sim {

// The phase is reduced to one turn before the sine is taken, so that a long
// run keeps the tone's phase as exact as its first second.
double AnalogInput::at(double seconds) const {
    if (amplitude == 0.0) {
        return volts;
    }
    const double turns = hz * seconds;
    const double theta = 2.0 * std::numbers::pi * (turns - std::floor(turns));
    const double s = std::sin(theta);
    const double c = std::cos(theta);
    const double second = 2.0 * s * c;             // sin 2θ
    const double third = s * (3.0 - 4.0 * s * s);  // sin 3θ
    return volts + amplitude * (s + kHarmonicLevel * (second + third));
}

Inputs defaultInputs(double toneHz) {
    return {{
        {0.0, kDefaultToneAmplitude, toneHz},
        {0.0},
        {1.25},
        {1.25},
        {1.0},
        {0.5},
        {-2.0},
        {2.4},
        {0.0},
    }};
}

const char* inputName(std::size_t input) {
    static constexpr const char* kNames[kInputCount] = {"AIN0", "AIN1", "AIN2", "AIN3",  "AIN4",
                                                        "AIN5", "AIN6", "AIN7", "AINCOM"};
    return input < kInputCount ? kNames[input] : "";
}

}  // namespace orv::sim
