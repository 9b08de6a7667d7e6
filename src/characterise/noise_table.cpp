// SPDX-License-Identifier: GPL-3.0-or-later
#include "characterise/noise_table.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "analysis/noise.h"
#include "analysis/number_text.h"
#include "converter/collect.h"
#include "converter/register_io.h"
#include "converter/registers.h"
#include "link/commands.h"
#include "link/link.h"

namespace orv::characterise {

namespace {

constexpr double kMicro = 1e6;
constexpr double kBitsPerByte = 10.0;  // start, eight data bits, stop
constexpr double kBaud = 115200.0;
constexpr double kFrameBytes = 6.0;
constexpr double kReplyBytes = 3.0;
constexpr double kCalibrationPause = 0.2;  // the reply is read this long after the frame

double wireSeconds(double bytes) {
    return bytes * kBitsPerByte / kBaud;
}

std::optional<std::uint8_t> gainCodeOf(int gain) {
    const auto found = std::find(kGains.begin(), kGains.end(), gain);
    if (found == kGains.end()) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(found - kGains.begin());
}

std::optional<std::uint8_t> drateOf(double rateSps) {
    for (const analysis::DataRate& rate : analysis::kDataRates) {
        if (rate.samplesPerSecond == rateSps) {
            return rate.code;
        }
    }
    return std::nullopt;
}

template <class T>
bool hasDuplicates(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    return std::adjacent_find(values.begin(), values.end()) != values.end();
}

// The run's collection: the view's progress and its word on going on.
class CellCollection final : public CollectionView {
public:
    explicit CellCollection(SweepView& view) : view_(view) {}
    void showProgress(int position) override { view_.showProgress(position); }
    bool keepGoing() override { return view_.keepGoing(); }

private:
    SweepView& view_;
};

// What a run changes, as found, in the order it is written back.
std::vector<RegisterWrite> restoringWrites(const RegisterImage& found, bool calibrated) {
    std::vector<RegisterWrite> writes{{ADCON, found[ADCON]}, {DRATE, found[DRATE]}};
    if (calibrated) {
        for (std::uint8_t address = OFC0; address <= FSC2; ++address) {
            writes.push_back({address, found[address]});
        }
    }
    return writes;
}

// One cell: its settings written, the calibration, the settling results and
// the measured ones. Sets `end` when the run ends here.
std::optional<NoiseCell> measureCell(Link& link, Prompts& prompts, PromptOwner owner,
                                     const SweepPlan& plan, const SweepCell& cell,
                                     const RegisterImage& found, SweepView& view, RawBlock& items,
                                     SampleList& codes, SweepEnd& end) {
    const std::array<RegisterWrite, 2> settings{{
        {ADCON, static_cast<std::uint8_t>((found[ADCON] & field::kGainClear) | cell.gainCode)},
        {DRATE, cell.drate},
    }};
    if (writeRegisters(link, prompts, owner, settings) != settings.size()) {
        end = SweepEnd::Failed;
        return std::nullopt;
    }
    if (plan.calibrate) {
        const SelfCalibration calibration = SelfCalibrate(link, link.clock(), prompts, owner);
        if (calibration == SelfCalibration::NotAnswered) {
            prompts.message(owner, "Self calibration failed !", "Error");
        }
        if (calibration != SelfCalibration::Answered) {
            end = SweepEnd::Failed;
            return std::nullopt;
        }
    }
    const int total = kSettlingResults + plan.count;
    items.assign(kItemSize * static_cast<std::size_t>(total), 0);
    CellCollection collection(view);
    const int status = CollectSamples(link, prompts, owner, items, total, collection);
    if (status == kCollectionStopped) {
        end = SweepEnd::Stopped;
        return std::nullopt;
    }
    if (status != link_status::kSuccess) {
        end = SweepEnd::Failed;
        return std::nullopt;
    }
    BuildSampleList(items, total, codes);
    return noiseCellOf(cell.gain, cell.rateSps, plan.vref,
                       std::span<const std::int32_t>(codes).subspan(kSettlingResults));
}

}  // namespace

SweepPlan defaultSweepPlan() {
    SweepPlan plan;
    plan.gains.assign(kGains.begin(), kGains.end());
    plan.rates.assign(kDefaultSweepRates.begin(), kDefaultSweepRates.end());
    return plan;
}

std::optional<std::string> planError(const SweepPlan& plan) {
    if (plan.gains.empty()) {
        return "no gain chosen";
    }
    if (plan.rates.empty()) {
        return "no data rate chosen";
    }
    for (const int gain : plan.gains) {
        if (!gainCodeOf(gain)) {
            return "gain " + std::to_string(gain) + " is not one of 1, 2, 4, 8, 16, 32 and 64";
        }
    }
    for (const double rate : plan.rates) {
        if (!drateOf(rate)) {
            return "data rate " + analysis::shortestText(rate) +
                   " SPS is not on the converter's list";
        }
    }
    if (hasDuplicates(plan.gains)) {
        return "a gain is chosen twice";
    }
    if (hasDuplicates(plan.rates)) {
        return "a data rate is chosen twice";
    }
    if (plan.count < kLeastSweepCount || plan.count > kMostSweepCount) {
        return "results per cell must be from " + std::to_string(kLeastSweepCount) + " to " +
               std::to_string(kMostSweepCount);
    }
    return std::nullopt;
}

std::vector<SweepCell> cellsOf(const SweepPlan& plan) {
    std::vector<SweepCell> cells;
    for (const double rate : plan.rates) {
        for (const int gain : plan.gains) {
            cells.push_back({gain, rate, gainCodeOf(gain).value_or(0), drateOf(rate).value_or(0)});
        }
    }
    return cells;
}

double calibrationSeconds() {
    return kCalibrationPause + wireSeconds(kFrameBytes + kReplyBytes);
}

double collectionFloorSeconds(int count, double rateSps) {
    return std::max(count / rateSps, wireSeconds(static_cast<double>(kItemSize) * count));
}

double cellFloorSeconds(const SweepPlan& plan, double rateSps) {
    return collectionFloorSeconds(plan.count, rateSps) +
           (plan.calibrate ? calibrationSeconds() : 0.0);
}

double sweepFloorSeconds(const SweepPlan& plan) {
    double seconds = 0.0;
    for (const double rate : plan.rates) {
        seconds += cellFloorSeconds(plan, rate) * static_cast<double>(plan.gains.size());
    }
    return seconds;
}

std::string durationText(double seconds) {
    const auto whole = static_cast<long long>(std::ceil(std::max(seconds, 0.0)));
    constexpr long long kMinute = 60;
    constexpr long long kHour = 3600;
    std::array<char, 48> text{};
    if (whole >= kHour) {
        std::snprintf(text.data(), text.size(), "%lld h %02lld min", whole / kHour,
                      whole % kHour / kMinute);
    } else if (whole >= kMinute) {
        std::snprintf(text.data(), text.size(), "%lld min %lld s", whole / kMinute,
                      whole % kMinute);
    } else {
        std::snprintf(text.data(), text.size(), "%lld s", whole);
    }
    return text.data();
}

NoiseCell noiseCellOf(int gain, double rateSps, double vref, std::span<const std::int32_t> codes) {
    const analysis::NoiseFigures noise = analysis::noiseFigures(codes);
    const analysis::Scale scale{.gain = gain, .rateHz = rateSps, .vref = vref};
    const double volts = scale.voltsPerCode();
    return {
        .gain = gain,
        .rateSps = rateSps,
        .count = noise.count,
        .rmsNoiseUv = noise.rms * volts * kMicro,
        .ppNoiseUv = noise.peakToPeak * volts * kMicro,
        .effectiveBits = noise.effectiveBits,
        .noiseFreeBits = noise.noiseFreeBits,
        .meanV = noise.mean * volts,
    };
}

SweepOutcome runNoiseTable(Link& link, Prompts& prompts, PromptOwner owner, const SweepPlan& plan,
                           SweepView& view) {
    SweepOutcome outcome;
    RegisterImage found{};
    if (!readRegisters(link, prompts, owner, found)) {
        outcome.end = SweepEnd::Failed;
        return outcome;
    }
    const std::vector<SweepCell> cells = cellsOf(plan);
    double secondsLeft = sweepFloorSeconds(plan);
    RawBlock items;  // one cell's at a time, reused
    SampleList codes;
    outcome.changedRegisters = !cells.empty();
    for (std::size_t index = 0; index < cells.size(); ++index) {
        view.cellStarted(index, cells.size(), secondsLeft);
        std::optional<NoiseCell> cell = measureCell(link, prompts, owner, plan, cells[index], found,
                                                    view, items, codes, outcome.end);
        if (!cell) {
            break;
        }
        outcome.cells.push_back(*cell);
        view.cellMeasured(*cell);
        secondsLeft -= cellFloorSeconds(plan, cells[index].rateSps);
    }
    const std::vector<RegisterWrite> restoring = restoringWrites(found, plan.calibrate);
    outcome.restored = writeRegisters(link, prompts, owner, restoring) == restoring.size();
    return outcome;
}

std::optional<std::string> restoreNote(const SweepOutcome& outcome) {
    if (!outcome.changedRegisters) {
        return std::nullopt;
    }
    if (outcome.restored) {
        return "The registers were written back as they were found.";
    }
    return "The registers could not be written back; read them before going on.";
}

}  // namespace orv::characterise
