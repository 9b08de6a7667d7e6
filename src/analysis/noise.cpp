// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/noise.h"

#include <algorithm>
#include <cmath>

#include "analysis/scale.h"

namespace orv::analysis {

namespace {

constexpr double kFullBits = kResolutionBits;

// log2 of a figure in codes below the full-scale range, capped at the
// converter's resolution: below one code of noise (and with none) the
// converter resolves no more than its 24 bits.
double bitsBelowFullScale(double codes) {
    if (codes <= 0.0) {
        return kFullBits;
    }
    return std::min(kFullBits, kFullBits - std::log2(codes));
}

}  // namespace

NoiseFigures noiseFigures(std::span<const std::int32_t> codes) {
    NoiseFigures figures;
    if (codes.empty()) {
        return figures;
    }
    // First pass: the sum in integers, exact (|code| < 2^31, so 2^32 codes
    // would still fit), hence a mean that is the sum's correctly rounded
    // quotient (sums below 2^53 are exact in a double too): a block of one
    // code has exactly that code as its mean.
    std::int64_t sum = 0;
    auto [minimum, maximum] = std::minmax_element(codes.begin(), codes.end());
    for (const std::int32_t code : codes) {
        sum += code;
    }
    const auto count = static_cast<long double>(codes.size());
    const long double mean = static_cast<long double>(sum) / count;

    // Second pass: squared deviations from that mean, in long double. A block
    // of one code gives deviations of exactly 0, so an RMS of exactly 0.
    long double squares = 0.0L;
    for (const std::int32_t code : codes) {
        const long double deviation = static_cast<long double>(code) - mean;
        squares += deviation * deviation;
    }

    figures.count = codes.size();
    figures.mean = static_cast<double>(sum) / static_cast<double>(codes.size());
    figures.minimum = *minimum;
    figures.maximum = *maximum;
    figures.rms = static_cast<double>(std::sqrt(squares / count));
    figures.peakToPeak = static_cast<double>(static_cast<std::int64_t>(*maximum) -
                                             static_cast<std::int64_t>(*minimum));
    figures.effectiveBits = bitsBelowFullScale(figures.rms);
    figures.noiseFreeBits = bitsBelowFullScale(figures.peakToPeak);
    return figures;
}

}  // namespace orv::analysis
