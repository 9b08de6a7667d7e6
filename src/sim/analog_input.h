// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>

namespace orv::sim {

// The converter's analog inputs: AIN0 to AIN7, then AINCOM.
inline constexpr std::size_t kInputCount = 9;
inline constexpr std::size_t kAincom = 8;

// Every input stays within ±kInputLimit volts, peaks included.
inline constexpr double kInputLimit = 5.0;

// 2nd and 3rd harmonic of a sine input, each relative to the sine's amplitude
// (-110 dBc): the distortion of the signal source, so it is the same at any
// amplitude and gain, and a DC input has none.
inline constexpr double kHarmonicLevel = 3.1622776601683795e-6;

// One input's voltage against ground: a DC level, or a sine about that level.
struct AnalogInput {
    double volts = 0.0;      // the DC level, or the sine's centre
    double amplitude = 0.0;  // the sine's peak volts; 0 for a DC input
    double hz = 0.0;         // the sine's frequency

    // The voltage `seconds` after the start of the time base; a sine starts
    // at its centre, rising.
    double at(double seconds) const;

    bool operator==(const AnalogInput&) const = default;
};

using Inputs = std::array<AnalogInput, kInputCount>;

inline constexpr double kDefaultToneHz = 50.0;
inline constexpr double kDefaultToneAmplitude = 2.0;

// The inputs after power-on: AIN0 the test tone (toneHz, 2.0 V peak), AIN1 0 V,
// AIN2 and AIN3 both 1.25 V (a shorted pair, for noise), AIN4 1.0 V,
// AIN5 0.5 V, AIN6 -2.0 V, AIN7 2.4 V, AINCOM 0 V.
Inputs defaultInputs(double toneHz = kDefaultToneHz);

// "AIN0".."AIN7", "AINCOM".
const char* inputName(std::size_t input);

}  // namespace orv::sim
