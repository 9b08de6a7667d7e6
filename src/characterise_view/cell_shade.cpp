// SPDX-License-Identifier: GPL-3.0-or-later
#include "characterise_view/cell_shade.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace orv {

namespace {

using characterise::TableFigure;

// Where each cell stands on the figure's scale, larger for worse.
double scalePosition(const characterise::NoiseCell& cell, TableFigure figure) {
    const double value = characterise::figureValue(cell, figure);
    if (figure == TableFigure::RmsNoiseUv) {
        // A noiseless cell (every result alike) is as good as it gets.
        return std::log10(std::max(value, std::numeric_limits<double>::min()));
    }
    return -value;
}

struct Stop {
    double at;
    int red, green, blue;
};
constexpr std::array<Stop, 3> kStops{{
    {0.0, 0xFF, 0xFF, 0xFF},  // white
    {0.5, 0xFF, 0xF1, 0xB8},  // pale yellow
    {1.0, 0xF6, 0xB9, 0xA0},  // light salmon
}};

int blend(int from, int to, double t) {
    return int(std::lround(from + (to - from) * t));
}

}  // namespace

std::vector<double> badnessOf(std::span<const characterise::NoiseCell> cells, TableFigure figure) {
    std::vector<double> positions;
    positions.reserve(cells.size());
    for (const characterise::NoiseCell& cell : cells) {
        positions.push_back(scalePosition(cell, figure));
    }
    if (positions.empty()) {
        return positions;
    }
    const auto [best, worst] = std::minmax_element(positions.begin(), positions.end());
    const double low = *best;
    const double span = *worst - low;
    for (double& position : positions) {
        position = span > 0.0 ? (position - low) / span : 0.0;
    }
    return positions;
}

QColor shadeOf(double badness) {
    const double b = std::clamp(std::isfinite(badness) ? badness : 0.0, 0.0, 1.0);
    std::size_t upper = 1;
    while (upper + 1 < kStops.size() && b > kStops[upper].at) {
        ++upper;
    }
    const Stop& from = kStops[upper - 1];
    const Stop& to = kStops[upper];
    const double t = (b - from.at) / (to.at - from.at);
    return QColor(blend(from.red, to.red, t), blend(from.green, to.green, t),
                  blend(from.blue, to.blue, t));
}

}  // namespace orv
