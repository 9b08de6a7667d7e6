// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace orv::sim {

// The converter from its input voltage to a result: the gain, this
// converter's own offset and gain errors, and their correction by the OFC and
// FSC registers.
//
//   ideal  = volts × gain × 2^23 / 5 V             (5 V = 2 × Vref of 2.5 V)
//   raw    = (ideal + offset(gain)) × 2^22 / exactFullScale(gain)
//   result = round((raw − OFC) × FSC / 2^22), clipped to −2^23 ... 2^23 − 1
//
// offset(gain) is 5 µV × gain + 15 µV in codes: an input stage offset and
// one after the gain. exactFullScale(gain) is the FSC that makes the result
// exact at that gain, 0x4561C4 − 0x1A2B × log2(gain): with OFC the raw offset
// and FSC that value, the result is the ideal one. At power-on (OFC 0, FSC
// 0x455A3E) a result carries the offset and a gain error of -424 ppm at
// gain 1 up to +0.85 % at gain 64.
namespace converter {

inline constexpr double kFullScaleVolts = 5.0;   // 2 × Vref: the input of code 2^23 at gain 1
inline constexpr double kFullScale = 8388608.0;  // 2^23
inline constexpr double kUnitScale = 4194304.0;  // 2^22: the FSC of a scale of 1
inline constexpr std::int32_t kMin = -8388608;
inline constexpr std::int32_t kMax = 8388607;

// Volts at the input as codes of an exact converter at `gain`.
double idealCodes(double volts, int gain);

// The converter's uncorrected output for `volts` at its input, unrounded.
double raw(double volts, int gain);

// The result the converter sends for a raw output.
std::int32_t result(double raw, std::int32_t ofc, std::uint32_t fsc);

// The FSC that makes results exact at `gain` once OFC holds the offset.
std::uint32_t exactFullScale(int gain);

// What an offset calibration writes to OFC: the raw output for its input
// (self: the inputs shorted inside the converter; system: the applied input).
std::int32_t offsetCalibration(double raw);

// What a gain calibration writes to FSC: the value that makes `span`, a raw
// output less the raw output for zero, read full scale, 2^23, just above the
// largest code; within the register's 0 ... FFFFFF, so a span below a
// quarter of full scale cannot get there. The self calibration measures the
// reference against the shorted inputs itself; the system calibration takes
// the applied input against the zero that OFC holds, so a system offset
// calibration comes first.
std::uint32_t gainCalibration(double span);

}  // namespace converter
}  // namespace orv::sim
