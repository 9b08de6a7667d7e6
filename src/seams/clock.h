// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

namespace orv {

// Calendar time: of the local time zone, as the file-name stamps use it,
// or of UTC, as the captures record it.
struct LocalTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The one source of time for everything that waits, times out or stamps:
// the system clock in the tool, a manual clock in tests and in the in-memory
// simulated EVM, so that a one-second time-out costs no real second there.
class Clock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~Clock() = default;
    virtual TimePoint now() const = 0;
    virtual void sleepFor(std::chrono::milliseconds duration) = 0;
    virtual LocalTime localTime() const = 0;
    virtual LocalTime utcTime() const = 0;
};

class SystemClock final : public Clock {
public:
    TimePoint now() const override;
    void sleepFor(std::chrono::milliseconds duration) override;
    LocalTime localTime() const override;
    LocalTime utcTime() const override;
};

// Time that moves only when told to; sleeping advances it at once.
class ManualClock final : public Clock {
public:
    TimePoint now() const override { return now_; }
    void sleepFor(std::chrono::milliseconds duration) override { now_ += duration; }
    LocalTime localTime() const override { return local_; }
    LocalTime utcTime() const override { return utc_; }

    template <class Rep, class Period>
    void advance(std::chrono::duration<Rep, Period> duration) {
        now_ += std::chrono::duration_cast<std::chrono::steady_clock::duration>(duration);
    }
    void advanceTo(TimePoint when) {
        if (when > now_) {
            now_ = when;
        }
    }
    void setLocalTime(const LocalTime& local) { local_ = local; }
    void setUtcTime(const LocalTime& utc) { utc_ = utc; }

private:
    TimePoint now_{};
    LocalTime local_{};
    LocalTime utc_{};
};

}  // namespace orv
