// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <utility>
#include <vector>

#include "characterise/noise_table.h"

namespace orv::test {

// A noise-table plan in one line.
inline characterise::SweepPlan sweepPlanOf(std::vector<int> gains, std::vector<double> rates,
                                           int count, bool calibrate = true) {
    characterise::SweepPlan plan;
    plan.gains = std::move(gains);
    plan.rates = std::move(rates);
    plan.count = count;
    plan.calibrate = calibrate;
    return plan;
}

}  // namespace orv::test
