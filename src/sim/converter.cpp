// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/converter.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace orv::sim::converter {

namespace {

constexpr double kInputOffsetVolts = 5e-6;
constexpr double kStageOffsetVolts = 15e-6;
constexpr std::uint32_t kExactFullScaleAtUnity = 0x4561C4;
constexpr std::uint32_t kExactFullScaleStep = 0x001A2B;  // per doubling of the gain
constexpr double kLargestFullScale = 16777215.0;         // FFFFFF

}  // namespace

double idealCodes(double volts, int gain) {
    return volts * gain * kFullScale / kFullScaleVolts;
}

double raw(double volts, int gain) {
    const double offset = idealCodes(kInputOffsetVolts, gain) + idealCodes(kStageOffsetVolts, 1);
    return (idealCodes(volts, gain) + offset) * kUnitScale / exactFullScale(gain);
}

std::int32_t result(double raw, std::int32_t ofc, std::uint32_t fsc) {
    const double corrected = std::round((raw - ofc) * fsc / kUnitScale);
    return static_cast<std::int32_t>(std::clamp(corrected, double{kMin}, double{kMax}));
}

std::uint32_t exactFullScale(int gain) {
    const auto doublings =
        static_cast<std::uint32_t>(std::countr_zero(static_cast<unsigned>(gain)));
    return kExactFullScaleAtUnity - kExactFullScaleStep * doublings;
}

std::int32_t offsetCalibration(double raw) {
    return static_cast<std::int32_t>(std::clamp(std::round(raw), double{kMin}, double{kMax}));
}

std::uint32_t gainCalibration(double span) {
    const double magnitude = std::abs(span);
    const double fsc =
        magnitude > 0.0 ? std::round(kUnitScale * kFullScale / magnitude) : kLargestFullScale;
    return static_cast<std::uint32_t>(std::min(fsc, kLargestFullScale));
}

}  // namespace orv::sim::converter
