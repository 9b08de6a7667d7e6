// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTest>
#include <functional>

#include "characterise/long_run.h"
#include "characterise/noise_table.h"
#include "link/detect.h"
#include "link/link.h"
#include "recording_prompts.h"
#include "sim/sim_bus.h"

namespace orv::test {

// An in-memory EVM with its input shorted (0 V on AIN0 and AIN1, which the
// power-on MUX reads), found and connected, on a manual clock: instant, or
// paced as the wire and the data rate pace a real board, in virtual time.
struct SimulatedBoard {
    static constexpr const char* kPort = "ttyEVM";

    explicit SimulatedBoard(sim::EvmConfig config = shorted(), sim::Wire wire = sim::Wire::Instant)
        : evm(bus.addEvm(kPort, std::move(config), wire)), link({kPort}, bus.factory(), clock) {
        clock.setUtcTime({2026, 12, 11, 23, 59, 58});
        QCOMPARE(FindEvm(link, prompts, 1), 1);
    }

    static sim::EvmConfig shorted() {
        sim::EvmConfig config;
        config.toneHz = 0.0;
        return config;
    }

    ManualClock clock;
    sim::SimBus bus{clock};
    sim::EvmModel& evm;
    Link link;
    RecordingPrompts prompts;
};

// Counts the results a run has seen and may stop it, or do anything else,
// at a chosen one.
class CountingView {
public:
    std::size_t results = 0;
    std::function<bool(std::size_t)> onResult;  // false: stop here

    bool next() {
        ++results;
        return !onResult || onResult(results);
    }
};

class RecordingSweepView final : public characterise::SweepView, public CountingView {
public:
    void cellStarted(std::size_t index, std::size_t total, double secondsLeft) override {
        started.push_back({index, total, secondsLeft});
    }
    void showProgress(int) override {}
    bool keepGoing() override { return next(); }
    void cellMeasured(const characterise::NoiseCell& cell) override { measured.push_back(cell); }

    struct Start {
        std::size_t index;
        std::size_t total;
        double secondsLeft;
    };
    std::vector<Start> started;
    std::vector<characterise::NoiseCell> measured;
};

class RecordingLongRunView final : public characterise::LongRunView, public CountingView {
public:
    void blockStarted(std::size_t) override {}
    void showProgress(int) override {}
    bool keepGoing() override { return next(); }
    void blockDone(std::size_t number, const characterise::TrendRow& row) override {
        done.push_back(number);
        rows.push_back(row);
        if (onBlockDone) {
            onBlockDone(number);
        }
    }
    std::function<void(std::size_t)> onBlockDone;
    std::vector<std::size_t> done;
    std::vector<characterise::TrendRow> rows;
};

}  // namespace orv::test
