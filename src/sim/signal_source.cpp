// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/signal_source.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace orv::sim {

namespace {

constexpr std::uint32_t kSeed = 0x5EED0A11;

// Input-referred noise at the slowest rate: the input stage's (independent of
// the gain), the input buffer's, and the stages after the gain (divided by it).
constexpr double kSlowestRate = 2.5;
constexpr double kFrontNoise = 0.06e-6;
constexpr double kBufferNoise = 0.04e-6;
constexpr double kBackNoise = 0.19e-6;

double inputVolts(const Inputs& inputs, unsigned nibble, double seconds) {
    return inputs[nibble > 7 ? kAincom : nibble].at(seconds);
}

}  // namespace

SignalSource::SignalSource(Inputs inputs) : inputs_(std::move(inputs)), generator_(kSeed) {}

double SignalSource::next(const Registers& registers) {
    const double rate = dataRateOf(registers[kDrate]);
    const double seconds = timeOfNext(rate);
    if (rate != segmentRate_) {
        segmentIndex_ = index_;
        segmentStart_ = seconds;
        segmentRate_ = rate;
    }
    ++index_;
    const double sigma = noiseRms(gainOf(registers[kAdcon]), rate, bufferOn(registers[kStatus]));
    return difference(registers[kMux], seconds) + sigma * gaussian();
}

double SignalSource::applied(const Registers& registers) const {
    return difference(registers[kMux], timeOfNext(dataRateOf(registers[kDrate])));
}

void SignalSource::restart() {
    generator_.seed(kSeed);
    spare_.reset();
    index_ = 0;
    segmentIndex_ = 0;
    segmentStart_ = 0.0;
    segmentRate_ = 0.0;
}

double SignalSource::noiseRms(int gain, double rate, bool buffer) {
    const double back = kBackNoise / gain;
    const double squares =
        kFrontNoise * kFrontNoise + (buffer ? kBufferNoise * kBufferNoise : 0.0) + back * back;
    return std::sqrt(squares * rate / kSlowestRate);
}

// One period of the current rate after the previous conversion; the first
// conversion, and the first at a new rate, take the old rate's period.
double SignalSource::timeOfNext(double rate) const {
    if (segmentRate_ == 0.0) {
        return static_cast<double>(index_) / rate;
    }
    return segmentStart_ + static_cast<double>(index_ - segmentIndex_) / segmentRate_;
}

double SignalSource::difference(std::uint8_t mux, double seconds) const {
    return inputVolts(inputs_, mux >> 4, seconds) - inputVolts(inputs_, mux & 0x0F, seconds);
}

// Box-Muller on two 32-bit draws; u1 is never 0, so the logarithm is finite
// (the tails end at 6.7 sigma).
double SignalSource::gaussian() {
    if (spare_) {
        return *std::exchange(spare_, std::nullopt);
    }
    constexpr double kRange = 4294967296.0;
    const double u1 = (static_cast<double>(generator_()) + 1.0) / kRange;
    const double u2 = static_cast<double>(generator_()) / kRange;
    const double radius = std::sqrt(-2.0 * std::log(u1));
    const double angle = 2.0 * std::numbers::pi * u2;
    spare_ = radius * std::sin(angle);
    return radius * std::cos(angle);
}

}  // namespace orv::sim
