// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/outbox.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

#include "link/frame.h"

namespace orv::sim {

namespace {

constexpr std::size_t kItemSize = std::tuple_size_v<SampleItem>;

// When conversion `k` (from 0) is done, counted from the start of the
// reaction, rounded up to the next nanosecond.
std::chrono::nanoseconds conversionDone(std::size_t k, double rate) {
    const double nanos = std::ceil(static_cast<double>(k + 1) * 1e9 / rate);
    return std::chrono::nanoseconds(static_cast<long long>(nanos));
}

}  // namespace

void Outbox::post(TimePoint now, std::vector<Reaction> reactions) {
    for (Reaction& reaction : reactions) {
        if (hangUpPosted_) {
            return;
        }
        const TimePoint start = std::max(now + reaction.delay, free_);
        const std::size_t size = reaction.bytes.size();
        bursts_.push_back(
            {start, std::move(reaction.bytes), 0, reaction.hangUp, reaction.conversionRate});
        free_ = start + offset(bursts_.back(), size);
        hangUpPosted_ = reaction.hangUp;
    }
}

std::span<const std::uint8_t> Outbox::due(TimePoint now) {
    dropFinished();
    if (bursts_.empty()) {
        return {};
    }
    const Burst& front = bursts_.front();
    return std::span(front.bytes).subspan(front.taken, dueCount(front, now) - front.taken);
}

void Outbox::take(std::size_t count) {
    if (!bursts_.empty()) {
        Burst& front = bursts_.front();
        front.taken = std::min(front.bytes.size(), front.taken + count);
    }
}

void Outbox::dropDue(TimePoint now) {
    for (auto bytes = due(now); !bytes.empty(); bytes = due(now)) {
        take(bytes.size());
    }
}

std::optional<Outbox::TimePoint> Outbox::nextDue() const {
    for (const Burst& burst : bursts_) {
        if (burst.taken < burst.bytes.size()) {
            return burst.start + offset(burst, burst.taken);
        }
        if (burst.hangUp) {
            return burst.start + offset(burst, burst.bytes.size());
        }
    }
    return std::nullopt;
}

bool Outbox::hangUpDue(TimePoint now) const {
    if (bursts_.empty() || !bursts_.back().hangUp) {
        return false;
    }
    const bool allTaken = std::all_of(bursts_.begin(), bursts_.end(), [](const Burst& burst) {
        return burst.taken == burst.bytes.size();
    });
    const Burst& last = bursts_.back();
    return allTaken && now >= last.start + offset(last, last.bytes.size());
}

void Outbox::clear() {
    bursts_.clear();
    free_ = {};
    hangUpPosted_ = false;
}

// Items come one conversion apart when the wire could carry them faster
// (fewer than 2880 conversions a second), and back to back on the wire, after
// the first conversion, when it could not.
std::chrono::nanoseconds Outbox::offset(const Burst& burst, std::size_t index) const {
    if (wire_ == Wire::Instant) {
        return std::chrono::nanoseconds(0);
    }
    const double rate = burst.conversionRate;
    if (rate <= 0.0 || burst.bytes.empty()) {
        return pacedOffset(index);
    }
    if (rate * static_cast<double>(kItemSize) >= static_cast<double>(kBytesPerSecond)) {
        return conversionDone(0, rate) + pacedOffset(index);
    }
    const std::size_t item = std::min(index, burst.bytes.size() - 1) / kItemSize;
    return conversionDone(item, rate) + pacedOffset(index - item * kItemSize);
}

// The bytes whose offset has come, found by bisection: offsets grow with the
// index.
std::size_t Outbox::dueCount(const Burst& burst, TimePoint now) const {
    if (now < burst.start) {
        return burst.taken;
    }
    const auto elapsed = now - burst.start;
    std::size_t low = burst.taken;          // every byte before `low` is due
    std::size_t high = burst.bytes.size();  // no byte from `high` on is known due
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (offset(burst, middle) <= elapsed) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

// Finished bursts go, except a hang-up, which stays as the last word.
void Outbox::dropFinished() {
    while (!bursts_.empty() && !bursts_.front().hangUp &&
           bursts_.front().taken == bursts_.front().bytes.size()) {
        bursts_.pop_front();
    }
}

}  // namespace orv::sim
