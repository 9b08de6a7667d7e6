// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <random>

#include "sim/analog_input.h"
#include "sim/registers.h"

namespace orv::sim {

// The converter's input, one conversion at a time: the difference between the
// two inputs MUX selects (its high nibble positive, its low nibble negative,
// nibbles above 7 AINCOM), in volts, with the input-referred noise of the
// gain, data rate and input buffer the registers set.
//
// Time runs in conversions: the k-th conversion since the start is k data-rate
// periods after it, so a sine keeps its frequency at any data rate, and a
// changed data rate goes on from where the time base was. The noise is
// Gaussian from a generator with a fixed seed, made from the generator's raw
// output only (the standard fixes that output, unlike that of its
// distributions). The same registers after the same history give the same
// results on every platform.
class SignalSource {
public:
    explicit SignalSource(Inputs inputs = defaultInputs());

    // The next conversion's input, noise included; time moves on by one
    // conversion.
    double next(const Registers& registers);

    // The next conversion's input without noise, leaving time where it is:
    // what a calibration measures, the converter averaging the noise away.
    double applied(const Registers& registers) const;

    // Back to the start: time 0 and the noise generator's first value.
    void restart();

    const Inputs& inputs() const { return inputs_; }

    // The RMS of the input-referred noise, in volts, at `gain` and `rate`
    // conversions per second:
    //   sqrt(front² + buffer² (if on) + (back / gain)²) × sqrt(rate / 2.5)
    // with front 0.06 µV, buffer 0.04 µV and back 0.19 µV at 2.5 SPS.
    static double noiseRms(int gain, double rate, bool buffer);

private:
    double timeOfNext(double rate) const;
    double difference(std::uint8_t mux, double seconds) const;
    double gaussian();

    Inputs inputs_;
    std::mt19937 generator_;
    std::optional<double> spare_;  // the second value of a Box-Muller pair
    std::uint64_t index_ = 0;      // conversions since the start
    // The time base since the data rate last changed: the time of conversion
    // `segmentIndex_`, and the rate since then (0 before the first).
    std::uint64_t segmentIndex_ = 0;
    double segmentStart_ = 0.0;
    double segmentRate_ = 0.0;
};

}  // namespace orv::sim
