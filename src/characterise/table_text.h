// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>
#include <string>

#include "characterise/noise_table.h"

namespace orv::characterise {

// The noise table as text, for files and the clipboard. Numbers use a point
// whatever the locale.

// The figures a cell has, as a datasheet's table shows one of them.
enum class TableFigure { RmsNoiseUv, EffectiveBits, NoiseFreeBits };

// "µV RMS", "Effective resolution (bits)", "Noise-free resolution (bits)".
std::string figureName(TableFigure figure);
// A cell's figure as the table shows it: µV to three significant digits
// ("0.221", "21.9"), bits to two decimals ("22.45").
std::string figureText(const NoiseCell& cell, TableFigure figure);
double figureValue(const NoiseCell& cell, TableFigure figure);

// The CSV of the cells, one row per cell in the order given, under the
// header "gain,rate_sps,rms_noise_uv,pp_noise_uv,effective_resolution_bits,
// noise_free_resolution_bits,mean_v" (the JSON keys of the command line);
// numbers as the shortest text that reads back as the same double. LF line
// ends.
std::string cellsCsv(std::span<const NoiseCell> cells);

// A Markdown table, datasheet style: one row per data rate of `plan`, one
// column per gain, the figure in each cell measured, empty where none is:
//
//   | SPS \ gain | 1 | 2 | ... |
//   |---:|---:|---:|...
//   | 10 | 0.434 | 0.241 | ... |
std::string markdownTable(const SweepPlan& plan, std::span<const NoiseCell> cells,
                          TableFigure figure);

// The cell of `cells` at `gain` and `rateSps`, if measured.
const NoiseCell* findCell(std::span<const NoiseCell> cells, int gain, double rateSps);

}  // namespace orv::characterise
