// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/tone.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace orv::analysis {

namespace {

constexpr std::size_t kMinLength = 64;
constexpr std::size_t kFirstHarmonic = 2;

// Bins lo..hi inclusive.
struct Lobe {
    std::size_t lo;
    std::size_t hi;

    bool overlaps(const Lobe& other) const { return lo <= other.hi && other.lo <= hi; }
};

// The lobe of a tone at `bin`, within bins 0..last.
Lobe lobeAround(std::size_t bin, std::size_t last) {
    return {bin > kLobeBins ? bin - kLobeBins : 0, std::min(bin + kLobeBins, last)};
}

// The bin a tone of frequency bin x N-th of the rate appears at once sampled:
// folded into 0..N/2.
std::size_t aliasedBin(std::size_t bin, std::size_t length) {
    const std::size_t folded = bin % length;
    return folded > length / 2 ? length - folded : folded;
}

// The share of the band bin k stands for: DC and, for even N, Nyquist have no
// mirror image and so stand for half a bin each; all bins 0..N/2 make N/2.
double bandwidthOf(std::size_t bin, std::size_t length) {
    return bin == 0 || 2 * bin == length ? 0.5 : 1.0;
}

double decibels(double ratio) {
    return 10.0 * std::log10(ratio);
}

}  // namespace

std::optional<ToneFigures> toneFigures(const Spectrum& spectrum) {
    const std::size_t length = spectrum.length;
    if (length < kMinLength || spectrum.power.size() != length / 2 + 1) {
        return std::nullopt;
    }
    const std::vector<double>& power = spectrum.power;
    const std::size_t last = power.size() - 1;
    const Lobe dc{0, kLobeBins};

    ToneFigures figures;
    const auto aboveDc = power.begin() + static_cast<std::ptrdiff_t>(dc.hi + 1);
    const auto largest = std::max_element(aboveDc, power.end());
    if (*largest <= 0.0) {
        return std::nullopt;
    }
    std::vector<double> ranked(aboveDc, power.end());
    const auto median = ranked.begin() + static_cast<std::ptrdiff_t>(ranked.size() / 2);
    std::nth_element(ranked.begin(), median, ranked.end());
    if (*largest < kToneProminence * *median) {
        return std::nullopt;
    }
    figures.fundamentalBin = static_cast<std::size_t>(largest - power.begin());

    // Each bin plays one role: in DC's lobe, the fundamental's
    // (cut where it would reach into DC's), a counted harmonic's, or noise.
    enum class Role { Noise, Dc, Signal, Harmonic };
    std::vector<Role> roles(power.size(), Role::Noise);
    const auto mark = [&roles](const Lobe& lobe, Role role) {
        std::fill(roles.begin() + static_cast<std::ptrdiff_t>(lobe.lo),
                  roles.begin() + static_cast<std::ptrdiff_t>(lobe.hi + 1), role);
    };
    mark(dc, Role::Dc);
    Lobe fundamental = lobeAround(figures.fundamentalBin, last);
    fundamental.lo = std::max(fundamental.lo, dc.hi + 1);
    mark(fundamental, Role::Signal);

    std::vector<Lobe> taken{dc, fundamental};
    for (std::size_t i = 0; i < kHarmonicCount; ++i) {
        const std::size_t bin = aliasedBin((kFirstHarmonic + i) * figures.fundamentalBin, length);
        const Lobe lobe = lobeAround(bin, last);
        const bool clear = std::none_of(taken.begin(), taken.end(), [&lobe](const Lobe& other) {
            return lobe.overlaps(other);
        });
        if (clear) {
            figures.harmonicBins[i] = bin;
            taken.push_back(lobe);
            mark(lobe, Role::Harmonic);
        }
    }

    double noise = 0.0;
    double noiseBandwidth = 0.0;
    double largestSpur = 0.0;
    for (std::size_t k = 0; k <= last; ++k) {
        switch (roles[k]) {
            case Role::Signal:
                figures.signalPower += power[k];
                break;
            case Role::Harmonic:
                figures.harmonicPower += power[k];
                largestSpur = std::max(largestSpur, power[k]);
                break;
            case Role::Noise:
                noise += power[k];
                noiseBandwidth += bandwidthOf(k, length);
                largestSpur = std::max(largestSpur, power[k]);
                break;
            case Role::Dc:
                break;
        }
    }
    // The bins left stand for the whole band, 0 to half the rate (N/2 bins):
    // the lobes' bins, DC's included, are taken to hold noise of the same
    // density as the rest.
    const double band = static_cast<double>(length) / 2.0;
    figures.noisePower = noiseBandwidth > 0.0 ? noise * band / noiseBandwidth : 0.0;

    const double signal = figures.signalPower;
    figures.snr = decibels(signal / figures.noisePower);
    figures.thd = decibels(figures.harmonicPower / signal);
    figures.sinad = decibels(signal / (figures.noisePower + figures.harmonicPower));
    figures.sfdr = decibels(power[figures.fundamentalBin] / largestSpur);
    figures.enob = (figures.sinad - 1.76) / 6.02;
    return figures;
}

}  // namespace orv::analysis
