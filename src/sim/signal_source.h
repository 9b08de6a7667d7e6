// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <random>

namespace orv::sim {

// The converter's input as the EVM sees it, one conversion result at a time.
// A result is 2^gain × (input difference + tone + noise), rounded and clamped
// to the 24-bit range. The input difference is a fixed DC level per channel
// (AINCOM is 0); the noise comes from a generator with a fixed seed and grows
// with the square root of the data rate; the tone is a sine of fixed amplitude
// whose time base is the data rate. The same register settings after the same
// history give the same results on every platform.
class SignalSource {
public:
    static constexpr std::int32_t kMin = -8388608;
    static constexpr std::int32_t kMax = 8388607;

    // `toneHz` 0 means no tone.
    explicit SignalSource(double toneHz = 0.0);

    // The next result for the registers MUX, ADCON and DRATE.
    std::int32_t next(std::uint8_t mux, std::uint8_t adcon, std::uint8_t drate);

    // Back to the first result: the noise generator and the tone's phase restart.
    void restart();

    // Conversions per second of a DRATE code; codes outside the data-rate list
    // run at 30000.
    static double sampleRate(std::uint8_t drate);

    // The input difference selected by MUX (positive nibble minus negative
    // nibble; nibbles above 7 are AINCOM), in result codes at gain 1.
    static std::int32_t dcLevel(std::uint8_t mux);

    // The noise-free result for the input selected by MUX at the gain of ADCON.
    static std::int32_t dcResult(std::uint8_t mux, std::uint8_t adcon);

private:
    double noise(double rate);

    double toneHz_;
    std::mt19937 generator_;
    std::uint64_t index_ = 0;
};

}  // namespace orv::sim
