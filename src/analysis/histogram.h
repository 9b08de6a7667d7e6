// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "analysis/noise.h"

namespace orv::analysis {

// Counts of codes in equal bins: bin i holds the codes from
// firstCode + i x binWidth up to, not including, firstCode + (i + 1) x binWidth.
// One bin per code while the block spans at most 1024 codes (maximum -
// minimum + 1), otherwise 256 bins over the span. Code c stands for the
// interval [c - 0.5, c + 0.5): firstCode is minimum - 0.5, so with one bin per
// code bin i's centre, firstCode + (i + 0.5) x binWidth, is code minimum + i.
// `normal` is, per bin, the count the normal distribution of the block's mean
// and RMS predicts there (its density at the bin's centre times count x
// binWidth), for comparison; with an RMS of 0 it is the whole count in the
// one bin.
struct Histogram {
    double firstCode = 0.0;
    double binWidth = 1.0;
    std::vector<std::uint32_t> counts;
    std::vector<double> normal;
};

inline constexpr std::int64_t kMaxCodeBins = 1024;
inline constexpr std::size_t kSpanBins = 256;

// Empty for an empty block. `noise` holds the figures of the same block.
Histogram histogram(std::span<const std::int32_t> codes, const NoiseFigures& noise);

}  // namespace orv::analysis
