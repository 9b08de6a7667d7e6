// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/scale.h"

namespace orv::analysis {

namespace {

constexpr std::uint8_t kGainMask = 0x07;

}  // namespace

int gainOf(std::uint8_t adcon) {
    const int code = adcon & kGainMask;
    return 1 << (code > kHighestGainCode ? kHighestGainCode : code);
}

std::optional<double> dataRateOf(std::uint8_t drate) {
    for (const DataRate& entry : kDataRates) {
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
