// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <vector>

namespace orv::analysis {

// The one-sided spectrum of a block: its mean under the window removed (so
// that DC reads nothing), 7-term Blackman-Harris
// window, bins 0 to N/2 of an N-point transform (N the block's length).
struct Spectrum {
    std::size_t length = 0;  // N
    // Per bin, 2|X|^2 / (N x sum of w^2): summed over a tone's main lobe it is
    // the tone's power (A^2 / 2 for amplitude A codes), summed over noise the
    // noise power, in codes^2. DC and, for even N, the Nyquist bin N/2 have no
    // mirror image and are not doubled (|X|^2 / (N x sum of w^2)), so the bins
    // add up to the block's windowed mean square (Parseval).
    std::vector<double> power;
    // Per bin, the magnitude in dB relative to full scale: a sine of amplitude
    // 2^23 codes centred on a bin reads 0 dBFS there (20 log10 of
    // 2|X| / (2^23 x sum of w); DC and Nyquist undoubled, as above). A bin of
    // no power reads kFloorDbfs, and none reads less.
    std::vector<double> dbfs;

    // Bin k's frequency in cycles per sample: k / N. Times the data rate for Hz.
    double binFrequency(std::size_t bin) const {
        return length ? static_cast<double>(bin) / static_cast<double>(length) : 0.0;
    }
};

inline constexpr double kFloorDbfs = -300.0;

// The 7-term Blackman-Harris window of `length` points (periodic form, for
// spectral analysis), peak 1.
std::vector<double> blackmanHarris7(std::size_t length);

// Computes spectra with FFTW (double precision: single is not enough for 24
// bits). Transform plans and windows are made once per length and kept (up to
// eight lengths; a ninth starts the set afresh), so that a window following
// block after block of one length plans only once. Plans are made with
// FFTW_ESTIMATE, without trial runs: any length, primes included, plans in
// tens of milliseconds at most.
//
// Threads: an analyser is not thread-safe; use one per thread. FFTW's planner
// is not thread-safe across the whole process, so every analyser makes and
// destroys plans under one process-wide lock; other code in the process must
// not call FFTW's planner meanwhile. Executing plans needs no lock.
class SpectrumAnalyser {
public:
    SpectrumAnalyser();
    ~SpectrumAnalyser();
    SpectrumAnalyser(const SpectrumAnalyser&) = delete;
    SpectrumAnalyser& operator=(const SpectrumAnalyser&) = delete;

    // Empty (length 0) for fewer than two codes; any length up to 65535.
    Spectrum spectrum(std::span<const std::int32_t> codes);

private:
    struct Plan;
    Plan& planFor(std::size_t length);
    std::map<std::size_t, std::unique_ptr<Plan>> plans_;
};

}  // namespace orv::analysis
