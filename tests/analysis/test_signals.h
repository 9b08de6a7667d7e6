// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Blocks of codes whose figures are known in advance: Gaussian noise of a
// given RMS and sines with harmonics, quantised to 24 bits. The noise comes
// from std::mt19937's raw output through our own Box-Muller transform, so a
// seed gives the same block on every platform (the standard distributions
// may differ between libraries).

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

namespace orv::test {

inline constexpr double kFullScaleAmplitude = 8388600.0;  // just under 2^23: never clips
inline constexpr std::int32_t kMaxCode = 8388607;
inline constexpr std::int32_t kMinCode = -8388608;

inline std::int32_t quantise(double value) {
    return static_cast<std::int32_t>(std::clamp(std::round(value), static_cast<double>(kMinCode),
                                                static_cast<double>(kMaxCode)));
}

// Standard normal values from raw 32-bit draws: u in (0, 1), never 0.
class Gaussian {
public:
    explicit Gaussian(std::uint32_t seed) : engine_(seed) {}

    double next() {
        if (spare_) {
            spare_ = false;
            return second_;
        }
        const double radius = std::sqrt(-2.0 * std::log(uniform()));
        const double angle = 2.0 * std::numbers::pi * uniform();
        second_ = radius * std::sin(angle);
        spare_ = true;
        return radius * std::cos(angle);
    }

private:
    double uniform() { return (static_cast<double>(engine_()) + 0.5) / 4294967296.0; }

    std::mt19937 engine_;
    double second_ = 0.0;
    bool spare_ = false;
};

inline std::vector<std::int32_t> gaussianBlock(std::size_t length, double mean, double rms,
                                               std::uint32_t seed) {
    Gaussian gaussian(seed);
    std::vector<std::int32_t> codes(length);
    for (auto& code : codes) {
        code = quantise(mean + rms * gaussian.next());
    }
    return codes;
}

struct Harmonic {
    int order;
    double dbc;  // amplitude relative to the fundamental's
};

// A sine of `cycles` periods over the block (an integer: coherent), with
// harmonics at `order` x cycles (folded by the sampling itself), plus
// Gaussian noise of `noiseRms` codes, quantised.
inline std::vector<std::int32_t> toneBlock(std::size_t length, double amplitude, double cycles,
                                           std::vector<Harmonic> harmonics = {},
                                           double noiseRms = 0.0, std::uint32_t seed = 1) {
    Gaussian gaussian(seed);
    std::vector<std::int32_t> codes(length);
    const double n = static_cast<double>(length);
    for (std::size_t i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / n;
        double value = amplitude * std::sin(2.0 * std::numbers::pi * cycles * t + 0.3);
        for (const Harmonic& harmonic : harmonics) {
            value += amplitude * std::pow(10.0, harmonic.dbc / 20.0) *
                     std::sin(2.0 * std::numbers::pi * harmonic.order * cycles * t + 1.1);
        }
        if (noiseRms > 0.0) {
            value += noiseRms * gaussian.next();
        }
        codes[i] = quantise(value);
    }
    return codes;
}

}  // namespace orv::test
