// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace orv::analysis {

// The noise figures of a block, in codes. Input-referred volts are these
// times Scale::voltsPerCode(); the resolutions need no scale, since the
// full-scale range and the noise scale alike.
struct NoiseFigures {
    std::size_t count = 0;
    double mean = 0.0;
    std::int32_t minimum = 0;
    std::int32_t maximum = 0;
    double rms = 0.0;         // population standard deviation, mean removed
    double peakToPeak = 0.0;  // maximum - minimum
    // log2(FSR / RMS) = 24 - log2(RMS), capped at 24 bits (also for no noise).
    double effectiveBits = 0.0;
    // log2(FSR / p-p) = 24 - log2(p-p), capped at 24 bits.
    double noiseFreeBits = 0.0;
};

// All zero for an empty block. Exact for any block of up to 65535 codes of
// any value: the sums do not lose digits.
NoiseFigures noiseFigures(std::span<const std::int32_t> codes);

}  // namespace orv::analysis
