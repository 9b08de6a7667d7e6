// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <span>
#include <vector>

#include "characterise/table_text.h"

namespace orv {

// The shading of the noise table's cells: how good each cell is among the
// cells shown, and the light colour that says so.
//
// The scale runs over the cells shown, from the best to the worst of them,
// by the figure shown: for µV RMS the lowest noise is best, on a logarithmic
// scale (the noise spans decades from the slow rates at high gain to the
// fast rates at gain 1); for the effective and noise-free resolution the
// most bits are best, on a linear scale of bits (which is itself
// logarithmic in the noise). The best cell is white, the middle one a pale
// yellow, the worst a light salmon: lighter is better, and every shade is
// light enough for black text to stay readable (a contrast of more than 10
// to 1).

// 0 for the best of `cells` by `figure`, 1 for the worst, in between on the
// scale above; all 0 when they are all alike.
std::vector<double> badnessOf(std::span<const characterise::NoiseCell> cells,
                              characterise::TableFigure figure);

// The background for a cell of `badness` (0 to 1, clamped).
QColor shadeOf(double badness);

}  // namespace orv
