// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquire/chart_state.h"

#include <algorithm>
#include <cmath>

namespace orv {

namespace {

constexpr std::int32_t kFineCentreReach = 50;

}  // namespace

ChartState AnalyseSamples(const SampleList& samples) {
    ChartState state;
    const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
    state.minimum = *low;
    state.maximum = *high;
    std::int64_t sum = 0;
    for (const std::int32_t sample : samples) {
        sum += sample;
    }
    state.average = static_cast<std::int32_t>(sum / static_cast<std::int64_t>(samples.size()));

    const std::int32_t centre = (state.minimum + state.maximum) / 2;
    state.yCentre =
        centre - state.minimum <= kFineCentreReach ? centre / 10 * 10 : centre / 50 * 50;
    const std::int64_t span = std::max<std::int64_t>(std::int64_t{state.maximum} - state.yCentre,
                                                     std::int64_t{state.yCentre} - state.minimum);
    // The smallest k with 150 k above the span: half the grid, 15 rows of
    // 10 k, then reaches past every sample.
    const std::int64_t k = std::max<std::int64_t>(span, 0) / (kCentreRow * 10) + 1;
    state.yUnit = static_cast<float>(10 * k);
    state.xScale = 1.0F;
    state.xStep = 10;
    state.yStep = 10;
    return state;
}

std::int64_t rowValue(const ChartState& state, int row) {
    return state.yCentre + (row - kCentreRow) * static_cast<std::int64_t>(std::lround(state.yUnit));
}

std::vector<ChartLabel> chartLabels(const ChartState& state, int first, int height) {
    std::vector<ChartLabel> labels;
    for (int g = kMajorEvery; g <= kGridColumns; g += kMajorEvery) {
        const int x = g * state.xStep;
        labels.push_back(
            {x + 31, height - 22, x + 67, height - 7, std::to_string(std::int64_t{first} + g)});
    }
    for (int j = 0; j <= kGridRows; j += kMajorEvery) {
        const int y = height - j * state.yStep;
        labels.push_back({2, y - 37, 42, y - 22, std::to_string(rowValue(state, j))});
    }
    return labels;
}

}  // namespace orv
