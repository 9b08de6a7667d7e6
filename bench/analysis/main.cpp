// SPDX-License-Identifier: GPL-3.0-or-later
// Measures the analysis figures of one block, the work the Analysis window
// does for each block it shows:
//
//   orvellin-bench-analysis [--count N] [--repeats N]
//
// The block is a near-full-scale tone with two harmonics and Gaussian noise,
// 65535 samples unless --count says otherwise. Each figure (noise,
// histogram, spectrum, tone figures, texts) is timed on its own, then all of
// them as the window asks for them; every step runs once untimed first, so
// the FFTW plan for the length is made before timing. The medians are
// printed, with the goal for the whole: under 20 ms. A first use of a length
// (plan and window) is timed once on its own, for 65535 and for the prime
// 65521. Then the Analysis window takes the same block, offscreen: its
// figures, fields and all three plots redrawn, against a goal of 30 ms. A
// missed goal is only reported: the exit code is 0 unless the command line
// is bad (2).
#include <QApplication>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <optional>
#include <random>
#include <string_view>
#include <vector>

#include "analysis/figures.h"
#include "measure.h"
#include "redraw.h"

using namespace orv::analysis;
using orv::bench::measure;
using orv::bench::measureOnce;
using orv::bench::printSection;

namespace {

constexpr int kMaxCount = 65535;
constexpr int kDefaultRepeats = 200;
constexpr double kGoalMs = 20.0;

constexpr const char* kUsage =
    "usage: orvellin-bench-analysis [--count N] [--repeats N]\n"
    "  --count N    samples in the block, 64 to 65535 (default 65535)\n"
    "  --repeats N  timed runs of each step, 1 to 100000 (default 200)\n";

struct Options {
    int count = kMaxCount;
    int repeats = kDefaultRepeats;
};

std::optional<int> parseInt(std::string_view text, int lowest, int highest) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < lowest ||
        value > highest) {
        return std::nullopt;
    }
    return value;
}

std::optional<Options> parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; i += 2) {
        const std::string_view name = argv[i];
        if (i + 1 >= argc) {
            return std::nullopt;
        }
        const std::string_view value = argv[i + 1];
        std::optional<int> number;
        if (name == "--count") {
            number = parseInt(value, 64, kMaxCount);
            options.count = number.value_or(0);
        } else if (name == "--repeats") {
            number = parseInt(value, 1, 100000);
            options.repeats = number.value_or(0);
        }
        if (!number) {
            return std::nullopt;
        }
    }
    return options;
}

// A tone 1 dB below full scale between bins, 2nd and 3rd harmonics at -100
// and -110 dBc, and 3 codes of noise: every figure has work to do.
std::vector<std::int32_t> testBlock(int count) {
    std::mt19937 engine(12345);
    std::normal_distribution<double> noise(0.0, 3.0);
    std::vector<std::int32_t> codes(static_cast<std::size_t>(count));
    const double amplitude = 8388607.0 * std::pow(10.0, -1.0 / 20.0);
    for (int n = 0; n < count; ++n) {
        const double phase = 2.0 * std::numbers::pi * 1234.567 * n / count;
        const double value = amplitude * (std::sin(phase) + 1e-5 * std::sin(2.0 * phase) +
                                          std::pow(10.0, -110.0 / 20.0) * std::sin(3.0 * phase)) +
                             noise(engine);
        codes[static_cast<std::size_t>(n)] = static_cast<std::int32_t>(std::lround(value));
    }
    return codes;
}

// Keeps the optimiser from dropping work whose result is never read.
volatile double sink = 0.0;

void runFigures(const Options& options) {
    const std::vector<std::int32_t> codes = testBlock(options.count);
    const Scale scale = scaleOf(0x00, 0xF0);

    printSection("First use of a length (plan and window, then the spectrum)");
    for (const int length : {kMaxCount, 65521}) {
        SpectrumAnalyser fresh;
        const std::vector<std::int32_t> block = testBlock(length);
        measureOnce("new analyser, " + std::to_string(length) + " samples",
                    [&] { sink = fresh.spectrum(block).power[1]; });
    }

    printSection("Analysis figures of " + std::to_string(options.count) + " samples, median of " +
                 std::to_string(options.repeats) + " runs after one warm-up");
    SpectrumAnalyser analyser;
    const int repeats = options.repeats;
    const NoiseFigures noise = noiseFigures(codes);
    const Spectrum spectrum = analyser.spectrum(codes);
    const auto tone = toneFigures(spectrum);
    measure("noise figures", std::nullopt, repeats, [&] { sink = noiseFigures(codes).rms; });
    measure("histogram", std::nullopt, repeats,
            [&] { sink = histogram(codes, noise).normal.front(); });
    measure("spectrum (FFTW, planned)", std::nullopt, repeats,
            [&] { sink = analyser.spectrum(codes).dbfs[1]; });
    measure("tone figures", std::nullopt, repeats, [&] { sink = toneFigures(spectrum)->snr; });
    measure("texts and report", std::nullopt, repeats, [&] {
        sink = static_cast<double>(figuresReport(figureTexts(noise, tone, scale), scale).size());
    });
    measure("every figure (analyseBlock, texts)", kGoalMs, repeats, [&] {
        const BlockFigures figures = analyseBlock(analyser, codes);
        const FigureTexts texts = figureTexts(figures.noise, figures.tone, scale);
        sink = static_cast<double>(figuresReport(texts, scale).size());
    });
}

}  // namespace

int main(int argc, char** argv) {
    const auto options = parseOptions(argc, argv);
    if (!options) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    runFigures(*options);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    orv::bench::runRedraw(testBlock(options->count), options->repeats);
    return 0;
}
