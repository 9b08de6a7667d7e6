// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include "analysis/spectrum.h"

namespace orv::analysis {

// Half-width of a tone's main lobe under the 7-term Blackman-Harris window,
// in bins: DC, the fundamental and each harmonic span their bin +- this.
inline constexpr std::size_t kLobeBins = 7;
inline constexpr std::size_t kHarmonicCount = 5;  // 2nd to 6th

// The single-tone figures of a spectrum, in the manner of IEEE 1241.
//
// The fundamental is the largest bin above DC's lobe (bins 0 to 7). Each
// harmonic h = 2..6 sits at h x k0 folded into 0..N/2 (aliased); a harmonic
// whose lobe overlaps DC's or the fundamental's lobe, or an earlier
// harmonic's, is not counted. S is the power over the fundamental's lobe (cut
// where it would reach into DC's), H that over the counted harmonics' lobes;
// the noise is the power of every other bin above DC's lobe, scaled by
// (N/2) / (bins counted) to stand for the whole band from DC to half the rate,
// the bins every lobe took (DC's included) alike. DC and the Nyquist bin N/2
// each stand for half a bin of that band (see Spectrum::power), so all bins 0
// to N/2 make N/2. The largest bin for SFDR is sought among the harmonics' and
// the noise's bins. A ratio with a zero side (no noise, no harmonic counted)
// gives an infinite figure; the texts show it as "n/a".
struct ToneFigures {
    std::size_t fundamentalBin = 0;
    // The 2nd to 6th harmonics' bins, for those counted.
    std::array<std::optional<std::size_t>, kHarmonicCount> harmonicBins{};
    double signalPower = 0.0;    // codes^2
    double harmonicPower = 0.0;  // codes^2
    double noisePower = 0.0;     // codes^2
    double snr = 0.0;            // dB, 10 log(S / noise)
    double thd = 0.0;            // dBc, 10 log(H / S)
    double sinad = 0.0;          // dB, 10 log(S / (noise + H))
    // dBc, the fundamental's bin over the largest bin outside DC and its lobe.
    double sfdr = 0.0;
    double enob = 0.0;  // bits, from SINAD: (SINAD - 1.76) / 6.02
};

// A tone must stand out of the noise to have figures: its bin at least
// kToneProminence (20 dB) over the median bin above DC's lobe. The largest
// bin of white noise alone lies near ln(N/2) times the mean bin, about 12 dB
// over the median for N = 65535, so a block of noise alone (a shorted input)
// has no tone figures, rather than an SNR of -15 dB for a noise peak; a tone
// far below the noise in power still stands out by the transform's gain.
inline constexpr double kToneProminence = 100.0;

// Nothing when the spectrum is too short to hold DC's lobe, a fundamental
// and its lobe (fewer than 64 points), holds no power above DC, or holds no
// tone that stands out.
std::optional<ToneFigures> toneFigures(const Spectrum& spectrum);

}  // namespace orv::analysis
