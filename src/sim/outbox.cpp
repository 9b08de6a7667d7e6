// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/outbox.h"

#include <algorithm>
#include <utility>

namespace orv::sim {

void Outbox::post(TimePoint now, std::vector<Reaction> reactions) {
    for (Reaction& reaction : reactions) {
        if (hangUpPosted_) {
            return;
        }
        const TimePoint start = std::max(now + reaction.delay, free_);
        const std::size_t size = reaction.bytes.size();
        bursts_.push_back({start, std::move(reaction.bytes), 0, reaction.hangUp});
        free_ = start + duration(size);
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
            return burst.start + duration(burst.taken);
        }
        if (burst.hangUp) {
            return burst.start + duration(burst.bytes.size());
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
    return allTaken && now >= last.start + duration(last.bytes.size());
}

void Outbox::clear() {
    bursts_.clear();
    free_ = {};
    hangUpPosted_ = false;
}

// How long `count` bytes take on the wire: the time from a reaction's start
// until the byte after them could start.
std::chrono::nanoseconds Outbox::duration(std::size_t count) const {
    return wire_ == Wire::Paced ? pacedOffset(count) : std::chrono::nanoseconds(0);
}

std::size_t Outbox::dueCount(const Burst& burst, TimePoint now) const {
    if (now < burst.start) {
        return burst.taken;
    }
    if (wire_ == Wire::Instant || now - burst.start >= duration(burst.bytes.size())) {
        return burst.bytes.size();
    }
    return std::max(burst.taken, pacedCount(now - burst.start));
}

// Finished bursts go, except a hang-up, which stays as the last word.
void Outbox::dropFinished() {
    while (!bursts_.empty() && !bursts_.front().hangUp &&
           bursts_.front().taken == bursts_.front().bytes.size()) {
        bursts_.pop_front();
    }
}

}  // namespace orv::sim
