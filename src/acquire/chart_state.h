// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "converter/samples.h"

namespace orv {

// The chart's statistics and scale, computed once per block. The grid has
// 46 vertical lines `xStep` pixels apart and 31 horizontal lines `yStep`
// pixels apart; line 15 of the horizontal ones stands for `yCentre`, and
// neighbouring lines are `yUnit` sample units apart.
struct ChartState {
    std::int32_t maximum = 0;
    std::int32_t minimum = 0;
    std::int32_t average = 0;  // truncated toward zero
    float xScale = 0.0F;
    float yUnit = 0.0F;
    std::int32_t xStep = 0;
    std::int32_t yStep = 0;
    std::int32_t yCentre = 0;
};

inline constexpr int kGridColumns = 45;  // trace points in one view
inline constexpr int kGridRows = 30;
inline constexpr int kCentreRow = 15;
// Every fifth line, either way, is doubled, has a tick and a number.
inline constexpr int kMajorEvery = 5;

// Statistics and scale of a block of at least one sample. The scale is the
// smallest multiple of ten that puts every sample strictly inside the grid,
// however wide the block.
ChartState AnalyseSamples(const SampleList& samples);

// The sample value the horizontal grid line `row` (0 at the bottom) stands for.
std::int64_t rowValue(const ChartState& state, int row);

// A number beside the grid: its text, horizontally centred in the box from
// (left, top) to (right, bottom), the right and bottom edges outside it.
struct ChartLabel {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    std::string text;
};

// The sample numbers under every fifth vertical line, counting from 1 at
// `first`, then the values of every fifth horizontal line from the bottom
// up, for a chart `height` pixels high.
std::vector<ChartLabel> chartLabels(const ChartState& state, int first, int height);

}  // namespace orv
