// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "analysis/histogram.h"
#include "analysis/noise.h"
#include "analysis/scale.h"
#include "analysis/spectrum.h"
#include "analysis/tone.h"

namespace orv::analysis {

// Everything measured of one block.
struct BlockFigures {
    NoiseFigures noise;
    Histogram histogram;
    Spectrum spectrum;
    std::optional<ToneFigures> tone;
};

BlockFigures analyseBlock(SpectrumAnalyser& analyser, std::span<const std::int32_t> codes);

// The figures as the user reads them: one "Name: value unit" line each, in
// this order: Samples, Mean (V), RMS Noise (uV, as "µV"), Peak-to-Peak Noise
// (µV), Effective Resolution (bits), Noise-Free Resolution (bits), SNR (dB),
// THD (dBc), SINAD (dB), SFDR (dBc), ENOB (bits, from SINAD); then the gain,
// data rate and Vref they were computed with. Numbers use a point whatever
// the locale. A figure that cannot be had (no tone, or an infinite ratio)
// reads "n/a"; for an empty block (count 0) every field is empty.
struct FigureTexts {
    std::string samples;
    std::string mean;
    std::string rmsNoise;
    std::string peakToPeakNoise;
    std::string effectiveResolution;
    std::string noiseFreeResolution;
    std::string snr;
    std::string thd;
    std::string sinad;
    std::string sfdr;
    std::string enob;
};

FigureTexts figureTexts(const NoiseFigures& noise, const std::optional<ToneFigures>& tone,
                        const Scale& scale);

// Each figure's name (what a screen reader calls its field), the label the
// user reads (the name, but "ENOB (from SINAD)", as datasheets also call
// it), and its text, in the order above.
struct FigureEntry {
    const char* name;
    const char* label;
    std::string FigureTexts::*text;
};

inline constexpr std::array<FigureEntry, 11> kFigureEntries{{
    {"Samples", "Samples", &FigureTexts::samples},
    {"Mean", "Mean", &FigureTexts::mean},
    {"RMS Noise", "RMS Noise", &FigureTexts::rmsNoise},
    {"Peak-to-Peak Noise", "Peak-to-Peak Noise", &FigureTexts::peakToPeakNoise},
    {"Effective Resolution", "Effective Resolution", &FigureTexts::effectiveResolution},
    {"Noise-Free Resolution", "Noise-Free Resolution", &FigureTexts::noiseFreeResolution},
    {"SNR", "SNR", &FigureTexts::snr},
    {"THD", "THD", &FigureTexts::thd},
    {"SINAD", "SINAD", &FigureTexts::sinad},
    {"SFDR", "SFDR", &FigureTexts::sfdr},
    {"ENOB", "ENOB (from SINAD)", &FigureTexts::enob},
}};

// The clipboard text: the lines described above, each ending in "\n":
// "Samples: 65535", ..., "ENOB (from SINAD): 23.96 bits", "Gain: 1",
// "Data rate: 30000 SPS" (or "Data rate: unknown"), "Vref: 2.5 V". An empty
// field gives its name and the colon alone ("Samples:").
std::string figuresReport(const FigureTexts& texts, const Scale& scale);

}  // namespace orv::analysis
