// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <vector>

#include "sim/reaction.h"

namespace orv::sim {

// The EVM's bytes on their way to the tool, each with the moment it is on the
// wire, for a transport to hand out when they are due. Time is whatever clock
// the transport runs on.
//
// A reaction starts `delay` after it was posted, but not before the previous
// one has finished. Instant bytes are all due at the start; paced byte i is due
// at start + pacedOffset(i), and the reaction finishes one byte time after its
// last byte. Paced data items with a conversion rate wait for their
// conversions as well: item k is converted k + 1 periods after the start, so
// its first byte is due then or when the wire is free, whichever is later
// (computed from the index, never summed). A hang-up is due when its reaction
// finishes and every byte before it has been taken; whatever is posted after
// a hang-up is dropped.
class Outbox {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    explicit Outbox(Wire wire) : wire_(wire) {}

    void post(TimePoint now, std::vector<Reaction> reactions);

    // The bytes due at `now` that have not been taken, in order. They may be
    // only the first part of what is due; take them and ask again.
    std::span<const std::uint8_t> due(TimePoint now);
    void take(std::size_t count);

    // Takes everything due at `now`; later bytes stay on their way.
    void dropDue(TimePoint now);

    // When the next byte or the hang-up becomes due; none when nothing is left.
    std::optional<TimePoint> nextDue() const;

    bool hangUpDue(TimePoint now) const;
    void clear();

private:
    struct Burst {
        TimePoint start;
        std::vector<std::uint8_t> bytes;
        std::size_t taken = 0;
        bool hangUp = false;
        double conversionRate = 0.0;
    };

    // From the burst's start until byte `index` is due; `index` equal to the
    // burst's size gives the moment it has finished.
    std::chrono::nanoseconds offset(const Burst& burst, std::size_t index) const;
    std::size_t dueCount(const Burst& burst, TimePoint now) const;
    void dropFinished();

    Wire wire_;
    std::deque<Burst> bursts_;
    TimePoint free_{};  // when the last posted reaction finishes
    bool hangUpPosted_ = false;
};

}  // namespace orv::sim
