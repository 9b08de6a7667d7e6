// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/histogram.h"

#include <cmath>
#include <numbers>

namespace orv::analysis {

namespace {

// Code c stands for the interval [c - 1/2, c + 1/2): the first bin starts half
// a code below the smallest code, so that with one bin per code each bin's
// centre is its code.
constexpr double kHalfCode = 0.5;

// The bin of `offset` = code - minimum, for `bins` equal bins over `span`
// codes, in integers so that a code on a bin edge always falls the same way:
// (offset + 1/2) x bins / span, rounded down.
std::size_t binOf(std::int64_t offset, std::int64_t span, std::size_t bins) {
    return static_cast<std::size_t>((2 * offset + 1) * static_cast<std::int64_t>(bins) /
                                    (2 * span));
}

}  // namespace

Histogram histogram(std::span<const std::int32_t> codes, const NoiseFigures& noise) {
    Histogram result;
    if (codes.empty()) {
        return result;
    }
    const std::int64_t minimum = noise.minimum;
    const std::int64_t span = static_cast<std::int64_t>(noise.maximum) - minimum + 1;
    const std::size_t bins = span <= kMaxCodeBins ? static_cast<std::size_t>(span) : kSpanBins;

    result.firstCode = static_cast<double>(minimum) - kHalfCode;
    result.binWidth = static_cast<double>(span) / static_cast<double>(bins);
    result.counts.assign(bins, 0);
    for (const std::int32_t code : codes) {
        ++result.counts[binOf(code - minimum, span, bins)];
    }

    result.normal.assign(bins, 0.0);
    const double count = static_cast<double>(noise.count);
    if (noise.rms == 0.0) {
        // No spread: the normal distribution's limit, every code in the
        // mean's bin (the only bin).
        result.normal[0] = count;
        return result;
    }
    const double scale = count * result.binWidth / (noise.rms * std::sqrt(2.0 * std::numbers::pi));
    for (std::size_t i = 0; i < bins; ++i) {
        const double centre = result.firstCode + (static_cast<double>(i) + 0.5) * result.binWidth;
        const double z = (centre - noise.mean) / noise.rms;
        result.normal[i] = scale * std::exp(-0.5 * z * z);
    }
    return result;
}

}  // namespace orv::analysis
