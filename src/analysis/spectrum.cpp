// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/spectrum.h"

#include <fftw3.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>
#include <numbers>

#include "analysis/scale.h"

namespace orv::analysis {

namespace {

// The 7-term Blackman-Harris window's coefficients a0..a6; the window is
// a0 - a1 cos(x) + a2 cos(2x) - ... + a6 cos(6x), x = 2 pi n / N.
constexpr std::array<double, 7> kBlackmanHarris7{
    0.27105140069342, 0.43329793923448, 0.21812299954311, 0.06592544638803,
    0.01081174209837, 0.00077658482522, 0.00001388721735,
};

// Lengths whose plans are kept at once: a window shows one length at a time,
// and a plan holds some memory per point, so an analyser fed many lengths
// starts afresh rather than growing without bound.
constexpr std::size_t kMaxKeptPlans = 8;

// FFTW's planner (making and destroying plans) is not thread-safe, across
// every plan of the process; executing a plan is. Every analyser plans under
// this lock, so analysers in different threads may run side by side. Code
// elsewhere in the process that plans with FFTW must not plan at the same time.
std::mutex& plannerLock() {
    static std::mutex lock;
    return lock;
}

}  // namespace

std::vector<double> blackmanHarris7(std::size_t length) {
    std::vector<double> window(length);
    for (std::size_t n = 0; n < length; ++n) {
        double value = 0.0;
        double sign = 1.0;
        for (std::size_t k = 0; k < kBlackmanHarris7.size(); ++k) {
            // k n taken modulo N first keeps the cosine's argument below 2 pi,
            // where it is most precise.
            const double phase = 2.0 * std::numbers::pi * static_cast<double>((k * n) % length) /
                                 static_cast<double>(length);
            value += sign * kBlackmanHarris7[k] * std::cos(phase);
            sign = -sign;
        }
        window[n] = value;
    }
    return window;
}

// One length's transform: FFTW's buffers and plan, and the window with its sums.
struct SpectrumAnalyser::Plan {
    explicit Plan(std::size_t length)
        : length(length),
          window(blackmanHarris7(length)),
          input(fftw_alloc_real(length)),
          output(fftw_alloc_complex(length / 2 + 1)) {
        for (const double w : window) {
            windowSum += w;
            windowSquareSum += w * w;
        }
        // FFTW_ESTIMATE plans without trial runs: fast for any length, primes
        // included, and it leaves the buffers alone.
        const std::lock_guard guard(plannerLock());
        plan = fftw_plan_dft_r2c_1d(static_cast<int>(length), input, output, FFTW_ESTIMATE);
    }
    ~Plan() {
        {
            const std::lock_guard guard(plannerLock());
            fftw_destroy_plan(plan);
        }
        fftw_free(output);
        fftw_free(input);
    }
    Plan(const Plan&) = delete;
    Plan& operator=(const Plan&) = delete;

    std::size_t length;
    std::vector<double> window;
    double windowSum = 0.0;
    double windowSquareSum = 0.0;
    double* input;
    fftw_complex* output;
    fftw_plan plan = nullptr;
};

SpectrumAnalyser::SpectrumAnalyser() = default;
SpectrumAnalyser::~SpectrumAnalyser() = default;

SpectrumAnalyser::Plan& SpectrumAnalyser::planFor(std::size_t length) {
    auto found = plans_.find(length);
    if (found != plans_.end()) {
        return *found->second;
    }
    if (plans_.size() >= kMaxKeptPlans) {
        plans_.clear();
    }
    return *plans_.emplace(length, std::make_unique<Plan>(length)).first->second;
}

Spectrum SpectrumAnalyser::spectrum(std::span<const std::int32_t> codes) {
    Spectrum result;
    if (codes.size() < 2) {
        return result;
    }
    const std::size_t length = codes.size();
    Plan& plan = planFor(length);

    // The mean under the window, not the plain one: a block of a tone that
    // is not a whole number of cycles has a plain mean off zero, and taking
    // that away would leave the window's own shape at DC, a false rise at
    // the lowest frequencies. Without the windowed mean the DC bin is zero.
    // The plain mean goes first, exactly (an integer sum), so that a
    // constant block leaves nothing at all.
    std::int64_t sum = 0;
    for (const std::int32_t code : codes) {
        sum += code;
    }
    const double mean = static_cast<double>(sum) / static_cast<double>(length);
    double weighted = 0.0;
    for (std::size_t n = 0; n < length; ++n) {
        plan.input[n] = static_cast<double>(codes[n]) - mean;
        weighted += plan.input[n] * plan.window[n];
    }
    const double windowedMean = weighted / plan.windowSum;
    for (std::size_t n = 0; n < length; ++n) {
        plan.input[n] = (plan.input[n] - windowedMean) * plan.window[n];
    }
    fftw_execute(plan.plan);

    // One-sided: every bin but DC and (for even N) Nyquist stands for its
    // mirror image too and is doubled; those two have no image and are not.
    // The powers then add up to the windowed block's mean square over the
    // window's (Parseval), and a sine's lobe to A^2 / 2.
    const std::size_t bins = length / 2 + 1;
    const double powerScale = 1.0 / (static_cast<double>(length) * plan.windowSquareSum);
    const double magnitudeScale = 1.0 / (kHalfScaleCodes * plan.windowSum);
    result.length = length;
    result.power.resize(bins);
    result.dbfs.resize(bins);
    for (std::size_t k = 0; k < bins; ++k) {
        const bool hasImage = k != 0 && 2 * k != length;
        const double sides = hasImage ? 2.0 : 1.0;
        const double re = plan.output[k][0];
        const double im = plan.output[k][1];
        const double squared = re * re + im * im;
        result.power[k] = sides * squared * powerScale;
        const double magnitude = sides * std::sqrt(squared) * magnitudeScale;
        result.dbfs[k] =
            magnitude > 0.0 ? std::max(kFloorDbfs, 20.0 * std::log10(magnitude)) : kFloorDbfs;
    }
    return result;
}

}  // namespace orv::analysis
