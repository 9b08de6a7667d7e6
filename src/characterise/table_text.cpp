// SPDX-License-Identifier: GPL-3.0-or-later
#include "characterise/table_text.h"

#include <algorithm>
#include <cmath>

#include "analysis/number_text.h"

namespace orv::characterise {

namespace {

constexpr int kSignificantDigits = 3;
constexpr int kBitDecimals = 2;

// `value` to three significant digits in fixed notation: "0.221", "21.9",
// "123"; a value of 1000 or more keeps its whole digits ("1234").
std::string significantText(double value) {
    if (!(std::abs(value) > 0.0) || !std::isfinite(value)) {
        return analysis::fixedText(value, kSignificantDigits - 1);
    }
    const int magnitude = static_cast<int>(std::floor(std::log10(std::abs(value))));
    int decimals = std::max(0, kSignificantDigits - 1 - magnitude);
    // Rounding may carry into another digit (0.09996 to "0.100"): that is
    // still three significant digits, one decimal fewer.
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(std::abs(value) * scale) / scale;
    if (std::floor(std::log10(rounded)) > magnitude && decimals > 0) {
        --decimals;
    }
    return analysis::fixedText(value, decimals);
}

}  // namespace

std::string figureName(TableFigure figure) {
    switch (figure) {
        case TableFigure::RmsNoiseUv:
            return "µV RMS";
        case TableFigure::EffectiveBits:
            return "Effective resolution (bits)";
        case TableFigure::NoiseFreeBits:
            return "Noise-free resolution (bits)";
    }
    return {};
}

double figureValue(const NoiseCell& cell, TableFigure figure) {
    switch (figure) {
        case TableFigure::RmsNoiseUv:
            return cell.rmsNoiseUv;
        case TableFigure::EffectiveBits:
            return cell.effectiveBits;
        case TableFigure::NoiseFreeBits:
            return cell.noiseFreeBits;
    }
    return 0.0;
}

std::string figureText(const NoiseCell& cell, TableFigure figure) {
    const double value = figureValue(cell, figure);
    return figure == TableFigure::RmsNoiseUv ? significantText(value)
                                             : analysis::fixedText(value, kBitDecimals);
}

std::string cellsCsv(std::span<const NoiseCell> cells) {
    std::string text =
        "gain,rate_sps,rms_noise_uv,pp_noise_uv,effective_resolution_bits,"
        "noise_free_resolution_bits,mean_v\n";
    for (const NoiseCell& cell : cells) {
        text += std::to_string(cell.gain) + ',' + analysis::shortestText(cell.rateSps) + ',' +
                analysis::shortestText(cell.rmsNoiseUv) + ',' +
                analysis::shortestText(cell.ppNoiseUv) + ',' +
                analysis::shortestText(cell.effectiveBits) + ',' +
                analysis::shortestText(cell.noiseFreeBits) + ',' +
                analysis::shortestText(cell.meanV) + '\n';
    }
    return text;
}

const NoiseCell* findCell(std::span<const NoiseCell> cells, int gain, double rateSps) {
    for (const NoiseCell& cell : cells) {
        if (cell.gain == gain && cell.rateSps == rateSps) {
            return &cell;
        }
    }
    return nullptr;
}

std::string markdownTable(const SweepPlan& plan, std::span<const NoiseCell> cells,
                          TableFigure figure) {
    std::string text = "| SPS \\ gain |";
    std::string rule = "|---:|";
    for (const int gain : plan.gains) {
        text += ' ' + std::to_string(gain) + " |";
        rule += "---:|";
    }
    text += '\n' + rule + '\n';
    for (const double rate : plan.rates) {
        text += "| " + analysis::shortestText(rate) + " |";
        for (const int gain : plan.gains) {
            const NoiseCell* cell = findCell(cells, gain, rate);
            text += cell ? ' ' + figureText(*cell, figure) + " |" : std::string(" |");
        }
        text += '\n';
    }
    return text;
}

}  // namespace orv::characterise
