// SPDX-License-Identifier: GPL-3.0-or-later
#include "characterise/trend.h"

#include <array>
#include <cstdio>

#include "analysis/noise.h"
#include "analysis/number_text.h"
#include "capture/file_text.h"
#include "capture/settings_header.h"

namespace orv::characterise {

namespace {

using namespace std::chrono;
using namespace file_text;

constexpr double kMicro = 1e6;
constexpr std::size_t kColumns = 5;

TrendReading refusal(std::size_t line, const std::string& why) {
    return {std::nullopt, "line " + std::to_string(line) + ": " + why};
}

// "2026-12-11T12:00:00.250Z", or the same without the milliseconds.
std::optional<UtcMillis> parseStamp(std::string_view text) {
    constexpr std::size_t kSecondsLength = 19;  // "2026-12-11T12:00:00"
    if (text.size() < kSecondsLength + 1 || !text.ends_with('Z')) {
        return std::nullopt;
    }
    const std::optional<LocalTime> whole =
        parseUtc(std::string(text.substr(0, kSecondsLength)) + 'Z');
    if (!whole) {
        return std::nullopt;
    }
    std::string_view fraction = text.substr(kSecondsLength, text.size() - kSecondsLength - 1);
    int millis = 0;
    if (!fraction.empty()) {
        constexpr std::size_t kFractionLength = 4;  // ".250"
        if (fraction.size() != kFractionLength || fraction[0] != '.') {
            return std::nullopt;
        }
        const std::optional<std::int64_t> digits = wholeNumber(fraction.substr(1));
        if (!digits || *digits < 0) {
            return std::nullopt;
        }
        millis = static_cast<int>(*digits);
    }
    return utcMillisOf(*whole) + milliseconds(millis);
}

// A row's five fields, or why they are not a row.
std::optional<std::string> readRow(const std::string_view whole, TrendRow& row) {
    std::string_view line = whole;
    std::array<std::string_view, kColumns> fields;
    for (std::size_t k = 0; k < kColumns; ++k) {
        const std::size_t comma = line.find(',');
        const bool last = k + 1 == kColumns;
        if (last != (comma == std::string_view::npos)) {
            return quoted(whole) + " is not a row " + std::string(kTrendColumns);
        }
        fields[k] = line.substr(0, comma);
        line.remove_prefix(last ? line.size() : comma + 1);
    }
    const std::optional<UtcMillis> start = parseStamp(fields[0]);
    if (!start) {
        return "start_utc " + quoted(fields[0]) +
               " is not a UTC time such as 2026-12-11T12:00:00.250Z";
    }
    row.start = *start;
    constexpr std::array<const char*, kColumns - 1> kNames{"mean_v", "rms_noise_uv", "min_v",
                                                           "max_v"};
    const std::array<double*, kColumns - 1> values{&row.meanV, &row.rmsNoiseUv, &row.minV,
                                                   &row.maxV};
    for (std::size_t k = 0; k < values.size(); ++k) {
        const std::optional<double> value = finiteNumber(fields[k + 1]);
        if (!value) {
            return std::string(kNames[k]) + ' ' + quoted(fields[k + 1]) + " is not a number";
        }
        *values[k] = *value;
    }
    return std::nullopt;
}

}  // namespace

UtcMillis utcMillisOf(const LocalTime& utc) {
    const sys_days date{year{utc.year} / month{static_cast<unsigned>(utc.month)} /
                        day{static_cast<unsigned>(utc.day)}};
    return time_point_cast<milliseconds>(date + hours{utc.hour} + minutes{utc.minute} +
                                         seconds{utc.second});
}

LocalTime calendarOf(UtcMillis time) {
    const sys_days midnight = floor<days>(time);
    const year_month_day date{midnight};
    const hh_mm_ss clock{floor<seconds>(time) - midnight};
    return {static_cast<int>(date.year()),
            static_cast<int>(static_cast<unsigned>(date.month())),
            static_cast<int>(static_cast<unsigned>(date.day())),
            static_cast<int>(clock.hours().count()),
            static_cast<int>(clock.minutes().count()),
            static_cast<int>(clock.seconds().count())};
}

std::string utcMillisText(UtcMillis time) {
    const LocalTime fields = calendarOf(time);
    const auto millis = (time - floor<seconds>(time)).count();
    std::array<char, 96> text{};
    std::snprintf(text.data(), text.size(), "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", fields.year,
                  fields.month, fields.day, fields.hour, fields.minute, fields.second,
                  static_cast<int>(millis));
    return text.data();
}

RunClock::RunClock(const Clock& clock)
    : clock_(clock), startUtc_(clock.utcTime()), startSteady_(clock.now()) {}

UtcMillis RunClock::now() const {
    return stampOf(clock_.now());
}

UtcMillis RunClock::stampOf(Clock::TimePoint steady) const {
    return utcMillisOf(startUtc_) + duration_cast<milliseconds>(steady - startSteady_);
}

TrendRow trendRowOf(UtcMillis start, std::span<const std::int32_t> codes,
                    const analysis::Scale& scale) {
    const analysis::NoiseFigures noise = analysis::noiseFigures(codes);
    const double volts = scale.voltsPerCode();
    return {
        .start = start,
        .meanV = noise.mean * volts,
        .rmsNoiseUv = noise.rms * volts * kMicro,
        .minV = noise.minimum * volts,
        .maxV = noise.maximum * volts,
    };
}

std::string trendHeader(const CaptureInfo& info, std::size_t count) {
    std::string text(kTrendFirstLine);
    text += '\n';
    text += settingsLines(info, count);
    text += kTrendColumns;
    text += '\n';
    return text;
}

std::string trendRowText(const TrendRow& row) {
    return utcMillisText(row.start) + ',' + analysis::shortestText(row.meanV) + ',' +
           analysis::shortestText(row.rmsNoiseUv) + ',' + analysis::shortestText(row.minV) + ',' +
           analysis::shortestText(row.maxV) + '\n';
}

TrendReading readTrend(std::string_view text) {
    text = withoutByteOrderMark(text);
    Lines lines(text);
    const std::optional<std::string_view> first = lines.next();
    if (!first || trimmed(*first) != kTrendFirstLine) {
        return refusal(
            1, "not a trend: the first line must be \"" + std::string(kTrendFirstLine) + "\"");
    }
    SettingsHeader header;
    if (const std::optional<std::string> refused =
            readSettingsLines(lines, kTrendColumns, header)) {
        return {std::nullopt, *refused};
    }
    Trend trend{std::move(header.info), *header.count, {}};
    const bool lastLineEnded = text.ends_with('\n');
    while (const std::optional<std::string_view> line = lines.next()) {
        if (trimmed(*line).empty()) {
            continue;
        }
        TrendRow row;
        if (const std::optional<std::string> why = readRow(*line, row)) {
            Lines rest = lines;
            if (!lastLineEnded && !rest.next()) {
                break;  // the row a crash cut short
            }
            return refusal(lines.number(), *why);
        }
        if (!trend.rows.empty() && row.start < trend.rows.back().start) {
            return refusal(lines.number(),
                           "start_utc " + utcMillisText(row.start) + " is before the row above it");
        }
        trend.rows.push_back(row);
    }
    return {std::move(trend), {}};
}

}  // namespace orv::characterise
