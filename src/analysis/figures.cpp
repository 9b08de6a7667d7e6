// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/figures.h"

#include <cmath>

#include "analysis/number_text.h"

namespace orv::analysis {

namespace {

constexpr double kMicro = 1e6;
constexpr const char* kNotAvailable = "n/a";

std::string withUnit(double value, int decimals, const char* unit) {
    if (!std::isfinite(value)) {
        return kNotAvailable;
    }
    return fixedText(value, decimals) + " " + unit;
}

// A tone figure, or "n/a" without a tone.
std::string toneText(const std::optional<ToneFigures>& tone, double ToneFigures::*figure,
                     const char* unit) {
    return tone ? withUnit((*tone).*figure, 2, unit) : kNotAvailable;
}

}  // namespace

BlockFigures analyseBlock(SpectrumAnalyser& analyser, std::span<const std::int32_t> codes) {
    BlockFigures figures;
    figures.noise = noiseFigures(codes);
    figures.histogram = histogram(codes, figures.noise);
    figures.spectrum = analyser.spectrum(codes);
    figures.tone = toneFigures(figures.spectrum);
    return figures;
}

FigureTexts figureTexts(const NoiseFigures& noise, const std::optional<ToneFigures>& tone,
                        const Scale& scale) {
    FigureTexts texts;
    if (noise.count == 0) {
        return texts;
    }
    const double volts = scale.voltsPerCode();
    texts.samples = std::to_string(noise.count);
    texts.mean = withUnit(noise.mean * volts, 7, "V");
    texts.rmsNoise = withUnit(noise.rms * volts * kMicro, 3, "µV");
    texts.peakToPeakNoise = withUnit(noise.peakToPeak * volts * kMicro, 3, "µV");
    texts.effectiveResolution = withUnit(noise.effectiveBits, 2, "bits");
    texts.noiseFreeResolution = withUnit(noise.noiseFreeBits, 2, "bits");
    texts.snr = toneText(tone, &ToneFigures::snr, "dB");
    texts.thd = toneText(tone, &ToneFigures::thd, "dBc");
    texts.sinad = toneText(tone, &ToneFigures::sinad, "dB");
    texts.sfdr = toneText(tone, &ToneFigures::sfdr, "dBc");
    texts.enob = toneText(tone, &ToneFigures::enob, "bits");
    return texts;
}

std::string figuresReport(const FigureTexts& texts, const Scale& scale) {
    std::string report;
    const auto addLine = [&report](const char* name, const std::string& value) {
        report += name;
        report += value.empty() ? ":" : ": " + value;
        report += '\n';
    };
    for (const FigureEntry& figure : kFigureEntries) {
        addLine(figure.label, texts.*figure.text);
    }
    addLine("Gain", std::to_string(scale.gain));
    addLine("Data rate", scale.rateHz ? shortestText(*scale.rateHz) + " SPS" : "unknown");
    addLine("Vref", shortestText(scale.vref) + " V");
    return report;
}

}  // namespace orv::analysis
