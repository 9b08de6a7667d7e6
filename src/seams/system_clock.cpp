// SPDX-License-Identifier: GPL-3.0-or-later
#include "seams/clock.h"

#include <ctime>
#include <thread>

namespace orv {

Clock::TimePoint SystemClock::now() const {
    return std::chrono::steady_clock::now();
}

void SystemClock::sleepFor(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

namespace {

LocalTime calendarOf(const std::tm& parts) {
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
            parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

}  // namespace

LocalTime SystemClock::localTime() const {
    const std::time_t seconds = std::time(nullptr);
    std::tm parts{};
#ifdef _WIN32
    localtime_s(&parts, &seconds);
#else
    localtime_r(&seconds, &parts);
#endif
    return calendarOf(parts);
}

LocalTime SystemClock::utcTime() const {
    const std::time_t seconds = std::time(nullptr);
    std::tm parts{};
#ifdef _WIN32
    gmtime_s(&parts, &seconds);
#else
    gmtime_r(&seconds, &parts);
#endif
    return calendarOf(parts);
}

}  // namespace orv
