// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analysis/scale.h"
#include "converter/samples.h"
#include "seams/prompts.h"

namespace orv {
class Link;
}

namespace orv::characterise {

// The noise table: the converter's noise over a set of gains and data
// rates, one cell for each pair, as a datasheet's first table gives it.

// The gains of ADCON bits 2-0, codes 0 to 6.
inline constexpr std::array<int, 7> kGains{1, 2, 4, 8, 16, 32, 64};

// After a change of gain or data rate the converter's digital filter needs a
// few conversions before its results are settled (up to four for its sinc
// filters after a change in continuous conversion); each cell collects this
// many results before the ones it measures and drops them, in the same data
// command.
inline constexpr int kSettlingResults = 4;

inline constexpr int kDefaultSweepCount = 256;
inline constexpr int kLeastSweepCount = 2;  // a standard deviation needs two
inline constexpr int kMostSweepCount = kMaxDataCount - kSettlingResults;

// The rates the default selection measures, with all seven gains: about
// three and a half minutes at 256 results a cell, most of it at 10 SPS.
inline constexpr std::array<double, 4> kDefaultSweepRates{10.0, 100.0, 1000.0, 30000.0};

struct SweepPlan {
    std::vector<int> gains;          // each one of kGains; the table's columns, in this order
    std::vector<double> rates;       // each one of analysis::kDataRates; its rows, in this order
    int count = kDefaultSweepCount;  // results measured in each cell
    bool calibrate = true;           // a self calibration in each cell, before the collection
    double vref = analysis::kDefaultVref;  // for the volts; the board's reference
};

// All seven gains at kDefaultSweepRates, 256 results, calibrating.
SweepPlan defaultSweepPlan();

// Why a plan cannot run, or nothing: a gain or rate not on the lists, one
// given twice, no gain or no rate, a count outside kLeastSweepCount ..
// kMostSweepCount. One line, for the user.
std::optional<std::string> planError(const SweepPlan& plan);

// One cell of a plan, in the order the run takes them: rate by rate, and
// within a rate gain by gain.
struct SweepCell {
    int gain = 1;
    double rateSps = 0.0;
    std::uint8_t gainCode = 0;  // ADCON bits 2-0
    std::uint8_t drate = 0;     // the DRATE code
};
std::vector<SweepCell> cellsOf(const SweepPlan& plan);

// --- How long a run takes at least --------------------------------------------

// The self calibration's share of a cell: its reply is read 200 ms after
// its frame, and the frame and the reply take their time on the wire.
double calibrationSeconds();
// `count` results need `count` conversions and 4 x `count` bytes on the
// wire at 115200 baud, ten bits a byte: the longer of the two.
double collectionFloorSeconds(int count, double rateSps);
// A cell of `plan` at `rateSps`: its collection, plus the calibration when
// the plan calibrates.
double cellFloorSeconds(const SweepPlan& plan, double rateSps);
// The sum over the plan's cells: what the user is told before the start.
double sweepFloorSeconds(const SweepPlan& plan);

// A duration for the user, rounded up to whole seconds: "45 s",
// "3 min 25 s", "1 h 02 min" (seconds dropped from an hour on).
std::string durationText(double seconds);

// --- The figures of one cell --------------------------------------------------

struct NoiseCell {
    int gain = 1;
    double rateSps = 0.0;
    std::size_t count = 0;       // results measured
    double rmsNoiseUv = 0.0;     // input-referred, population standard deviation
    double ppNoiseUv = 0.0;      // input-referred, maximum - minimum
    double effectiveBits = 0.0;  // log2(FSR / RMS), at most 24
    double noiseFreeBits = 0.0;  // log2(FSR / p-p), at most 24
    double meanV = 0.0;          // input-referred
};

// The figures of `codes` measured at `gain` with reference `vref`.
NoiseCell noiseCellOf(int gain, double rateSps, double vref, std::span<const std::int32_t> codes);

// --- The run ------------------------------------------------------------------

// What a run shows while it goes, and lets run after every result.
class SweepView {
public:
    virtual ~SweepView() = default;
    // Cell `index` (from 0) of `total` begins; `secondsLeft` is the floor of
    // this cell and every one after it.
    virtual void cellStarted(std::size_t index, std::size_t total, double secondsLeft) = 0;
    // The cell's collection, 0 to 100 (101 leaves a bar full, as a
    // collection shows it).
    virtual void showProgress(int position) = 0;
    // Runs after every result; false ends the run after it (Stop, Ctrl-C).
    virtual bool keepGoing() = 0;
    virtual void cellMeasured(const NoiseCell& cell) = 0;
};

enum class SweepEnd {
    Finished,  // every cell measured
    Stopped,   // the view stopped it
    Failed,    // the EVM failed; its message was given
};

struct SweepOutcome {
    SweepEnd end = SweepEnd::Finished;
    std::vector<NoiseCell> cells;  // measured, in run order
    // Whether the registers the run changed were written back as found:
    // ADCON and DRATE, and OFC0 to FSC2 when it calibrated. False also when
    // the registers could not be read at the start (nothing was changed).
    bool restored = false;
    // Whether anything was changed: false when the run failed before it
    // wrote a register.
    bool changedRegisters = false;
};

// Runs `plan`, which planError accepts. Reads the eleven registers first;
// then for each cell writes ADCON (its gain bits only, the rest as found)
// and DRATE, runs the self calibration when asked (CMD_SELF_CAL; a reply
// that is missing or wrong fails the run with "Self calibration failed !"),
// collects kSettlingResults + count results in one data command, drops the
// first kSettlingResults and measures the rest. At the end, after Stop and
// after a failure, writes back what it changed, as it found it. Messages
// (the EVM's failures) go to `prompts` for `owner`, as the panel gives them.
SweepOutcome runNoiseTable(Link& link, Prompts& prompts, PromptOwner owner, const SweepPlan& plan,
                           SweepView& view);

// What the caller tells the user of the registers after a run: "The
// registers were written back as they were found." or "The registers could
// not be written back; read them before going on." (or nothing to say when
// nothing was changed).
std::optional<std::string> restoreNote(const SweepOutcome& outcome);

}  // namespace orv::characterise
