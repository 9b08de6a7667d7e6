// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/scale.h"

#include <array>

namespace orv::analysis {

namespace {

struct RateEntry {
    std::uint8_t code;
    double samplesPerSecond;
};

// The converter's data-rate list (the device panel's drop-down list holds the
// same codes with their display names; that library is not ours to link).
constexpr std::array<RateEntry, 16> kRates{{
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

constexpr std::uint8_t kGainMask = 0x07;
constexpr int kHighestGainCode = 6;

}  // namespace

int gainOf(std::uint8_t adcon) {
    const int code = adcon & kGainMask;
    return 1 << (code > kHighestGainCode ? kHighestGainCode : code);
}

std::optional<double> dataRateOf(std::uint8_t drate) {
    for (const RateEntry& entry : kRates) {
        if (entry.code == drate) {
            return entry.samplesPerSecond;
        }
    }
    return std::nullopt;
}

Scale scaleOf(std::uint8_t adcon, std::uint8_t drate, double vref) {
    return Scale{gainOf(adcon), dataRateOf(drate), vref};
}

}  // namespace orv::analysis
