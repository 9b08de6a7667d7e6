// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "capture/capture.h"
#include "seams/clock.h"

namespace orv::characterise {

// A long run's trend: one row for each block collected, in one UTF-8 text
// file with LF line ends, appended to block by block:
//
//   # Orvellin trend 1
//   # created: 2026-12-11T12:00:00Z
//   # tool: orvellin 1.1.0.3
//   # port: /dev/ttyUSB0
//   # registers: 30 23 20 F0 E1 00 00 00 3E 5A 45
//   # gain: 1
//   # vref_v: 2.5
//   # rate_sps: 30000
//   # count: 256
//   start_utc,mean_v,rms_noise_uv,min_v,max_v
//   2026-12-11T12:00:00.000Z,1.9371509552001953e-05,21.87,-4.5e-05,8.1e-05
//   ...
//
// The "#" lines are a capture's, of the run's start: `count` is the results
// in each block. A row holds the block's start in UTC to the millisecond,
// its mean, minimum and maximum in volts and its RMS noise in µV, all
// input-referred with the settings of the header, each number the shortest
// text that reads back as the same double. pandas reads it with
// read_csv(path, comment="#", parse_dates=["start_utc"]).
inline constexpr std::string_view kTrendFirstLine = "# Orvellin trend 1";
inline constexpr std::string_view kTrendColumns = "start_utc,mean_v,rms_noise_uv,min_v,max_v";

// A time in UTC to the millisecond.
using UtcMillis = std::chrono::sys_time<std::chrono::milliseconds>;

UtcMillis utcMillisOf(const LocalTime& utc);
// Its calendar fields, to the second, as a capture records a time.
LocalTime calendarOf(UtcMillis time);
// "2026-12-11T12:00:00.250Z".
std::string utcMillisText(UtcMillis time);

// The stamps of one run: its start in UTC (whole seconds, as the clock
// gives it), then the clock's steady time since, so that stamps never go
// back and do not jump when the wall clock is set.
class RunClock {
public:
    explicit RunClock(const Clock& clock);
    UtcMillis now() const;
    UtcMillis stampOf(Clock::TimePoint steady) const;
    const LocalTime& startUtc() const { return startUtc_; }
    Clock::TimePoint startSteady() const { return startSteady_; }

private:
    const Clock& clock_;
    LocalTime startUtc_;
    Clock::TimePoint startSteady_;
};

struct TrendRow {
    UtcMillis start{};
    double meanV = 0.0;
    double rmsNoiseUv = 0.0;
    double minV = 0.0;
    double maxV = 0.0;
};

// The row of a block of `codes` (at least one) that started at `start`.
TrendRow trendRowOf(UtcMillis start, std::span<const std::int32_t> codes,
                    const analysis::Scale& scale);

// The lines up to and including the column header; `info.scale` gives the
// settings, `count` the results in a block.
std::string trendHeader(const CaptureInfo& info, std::size_t count);
// One row's line, with its LF.
std::string trendRowText(const TrendRow& row);

struct Trend {
    CaptureInfo info;
    std::size_t count = 0;  // results per block
    std::vector<TrendRow> rows;
};

struct TrendReading {
    std::optional<Trend> trend;
    std::string error;  // "line 12: ..."
};

// Reads a trend file: the header as a capture's (the same keys and checks),
// then rows of the five columns, in time order. A last line without its LF
// that is not a whole row is dropped: the write of a block that a crash cut
// short. A trend of no rows is read (a run that ended before its first
// block).
TrendReading readTrend(std::string_view text);

}  // namespace orv::characterise
