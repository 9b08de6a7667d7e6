// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/signal_source.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <utility>

namespace orv::sim {

namespace {

constexpr std::uint32_t kSeed = 0x5EED0A11;
constexpr double kToneAmplitude = 600000.0;  // result codes at gain 1
constexpr double kNoiseAtSlowest = 6.0;      // peak noise, codes at gain 1, at 2.5 SPS
constexpr double kSlowestRate = 2.5;

constexpr std::array<std::int32_t, 8> kChannelLevels = {1250000,  -830000, 2500000, 416000,
                                                        -1660000, 3300000, 50000,   -4000000};

constexpr std::array<std::pair<std::uint8_t, double>, 16> kDataRates = {{
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

std::int32_t channelLevel(unsigned nibble) {
    return nibble > 7 ? 0 : kChannelLevels[nibble];
}

double gainFactor(std::uint8_t adcon) {
    return static_cast<double>(1 << (adcon & 0x07));
}

std::int32_t clampToResult(double value) {
    const double rounded = std::round(value);
    return static_cast<std::int32_t>(std::clamp(rounded, static_cast<double>(SignalSource::kMin),
                                                static_cast<double>(SignalSource::kMax)));
}

}  // namespace

SignalSource::SignalSource(double toneHz) : toneHz_(toneHz), generator_(kSeed) {}

std::int32_t SignalSource::next(std::uint8_t mux, std::uint8_t adcon, std::uint8_t drate) {
    const double rate = sampleRate(drate);
    const double t = static_cast<double>(index_++) / rate;
    const double tone =
        toneHz_ > 0.0 ? kToneAmplitude * std::sin(2.0 * std::numbers::pi * toneHz_ * t) : 0.0;
    return clampToResult(gainFactor(adcon) * (dcLevel(mux) + tone + noise(rate)));
}

void SignalSource::restart() {
    generator_.seed(kSeed);
    index_ = 0;
}

double SignalSource::sampleRate(std::uint8_t drate) {
    for (const auto& [code, rate] : kDataRates) {
        if (code == drate) {
            return rate;
        }
    }
    return 30000.0;
}

std::int32_t SignalSource::dcLevel(std::uint8_t mux) {
    return channelLevel(mux >> 4) - channelLevel(mux & 0x0F);
}

std::int32_t SignalSource::dcResult(std::uint8_t mux, std::uint8_t adcon) {
    return clampToResult(gainFactor(adcon) * dcLevel(mux));
}

// Triangular noise from two uniform draws. Only the generator's raw output is
// used: the standard fixes it, unlike the output of its distributions.
double SignalSource::noise(double rate) {
    constexpr double kRange = 4294967296.0;
    const double u1 = static_cast<double>(generator_()) / kRange;
    const double u2 = static_cast<double>(generator_()) / kRange;
    return kNoiseAtSlowest * std::sqrt(rate / kSlowestRate) * (u1 + u2 - 1.0);
}

}  // namespace orv::sim
