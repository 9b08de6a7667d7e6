// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace orv::analysis {

// Codes of a 24-bit two's-complement result: a full-scale sine has an
// amplitude of 2^23 codes.
inline constexpr int kResolutionBits = 24;
inline constexpr double kHalfScaleCodes = 8388608.0;  // 2^23
inline constexpr double kDefaultVref = 2.5;           // volts

// The programmable gain of ADCON bits 2-0: codes 0 to 6 give 1, 2, 4, ... 64,
// code 7 also 64.
inline constexpr int kHighestGainCode = 6;
int gainOf(std::uint8_t adcon);

// One entry of the converter's data-rate list: a DRATE code and its
// conversions per second. (The converter's list, converter/value_tables.h,
// holds the same codes with their display names, checked at compile time.)
struct DataRate {
    std::uint8_t code;
    double samplesPerSecond;
};

// The data-rate list, slowest first.
inline constexpr std::array<DataRate, 16> kDataRates{{
    {0x03, 2.5},
    {0x13, 5.0},
    {0x23, 10.0},
    {0x33, 15.0},
    {0x43, 25.0},
    {0x53, 30.0},
    {0x63, 50.0},
    {0x72, 60.0},
    {0x82, 100.0},
    {0x92, 500.0},
    {0xA1, 1000.0},
    {0xB0, 2000.0},
    {0xC0, 3750.0},
    {0xD0, 7500.0},
    {0xE0, 15000.0},
    {0xF0, 30000.0},
}};

// Conversions per second of a DRATE code, from the converter's data-rate
// list; nothing for a code the list does not hold.
std::optional<double> dataRateOf(std::uint8_t drate);

// What turns codes into input-referred volts and samples into time.
struct Scale {
    int gain = 1;
    std::optional<double> rateHz;  // unknown: frequencies in cycles per sample
    double vref = kDefaultVref;

    // V = code x 2 Vref / (gain x 2^23).
    double voltsPerCode() const { return 2.0 * vref / (gain * kHalfScaleCodes); }
    // FSR = 4 Vref / gain.
    double fullScaleRange() const { return 4.0 * vref / gain; }
};

Scale scaleOf(std::uint8_t adcon, std::uint8_t drate, double vref = kDefaultVref);

}  // namespace orv::analysis
