// SPDX-License-Identifier: GPL-3.0-or-later
// Prints every figure of a block saved in the tool's text format, at full
// precision, for numpy_oracle.py to check against numpy:
//
//   orvellin-figures-dump FILE [--gain-code N] [--drate 0xNN] [--vref V]
//
// FILE holds one code per line (right-aligned in nine characters, CR LF, as
// the tool saves them; any spaces and either line ending are taken). Output:
// one `name=value` line per figure, numbers in the shortest form that reads
// back exactly, lists comma-separated, inf for an infinite figure. Tone
// figures follow `tone=1`, or `tone=0` stands alone. Exits 2 on a bad command
// line or file.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <type_traits>
#include <vector>

#include "analysis/figures.h"

using namespace orv::analysis;

namespace {

constexpr const char* kUsage =
    "usage: orvellin-figures-dump FILE [--gain-code N] [--drate 0xNN] [--vref V]\n";

struct Options {
    std::string path;
    std::uint8_t adcon = 0;
    std::uint8_t drate = 0xF0;
    double vref = kDefaultVref;
};

template <typename Number>
std::optional<Number> parse(std::string_view text, int base = 10) {
    Number value{};
    std::from_chars_result result;
    if constexpr (std::is_floating_point_v<Number>) {
        result = std::from_chars(text.data(), text.data() + text.size(), value);
    } else {
        result = std::from_chars(text.data(), text.data() + text.size(), value, base);
    }
    if (result.ec != std::errc{} || result.ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<Options> parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view name = argv[i];
        if (!name.starts_with("--")) {
            if (!options.path.empty()) {
                return std::nullopt;
            }
            options.path = name;
            continue;
        }
        if (i + 1 >= argc) {
            return std::nullopt;
        }
        std::string_view value = argv[++i];
        if (name == "--gain-code") {
            const auto code = parse<unsigned>(value);
            if (!code || *code > 7) {
                return std::nullopt;
            }
            options.adcon = static_cast<std::uint8_t>(*code);
        } else if (name == "--drate") {
            if (value.starts_with("0x") || value.starts_with("0X")) {
                value.remove_prefix(2);
            }
            const auto code = parse<unsigned>(value, 16);
            if (!code || *code > 0xFF) {
                return std::nullopt;
            }
            options.drate = static_cast<std::uint8_t>(*code);
        } else if (name == "--vref") {
            const auto vref = parse<double>(value);
            if (!vref || !(*vref > 0.0)) {
                return std::nullopt;
            }
            options.vref = *vref;
        } else {
            return std::nullopt;
        }
    }
    if (options.path.empty()) {
        return std::nullopt;
    }
    return options;
}

// Every line a code; blank lines (such as the one after the last line
// ending) are passed over.
std::optional<std::vector<std::int32_t>> readCodes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
        return std::nullopt;
    }
    std::vector<std::int32_t> codes;
    std::string line;
    for (std::size_t number = 1; std::getline(file, line); ++number) {
        std::string_view text = line;
        while (!text.empty() && (text.back() == '\r' || text.back() == ' ')) {
            text.remove_suffix(1);
        }
        while (!text.empty() && text.front() == ' ') {
            text.remove_prefix(1);
        }
        if (text.empty()) {
            continue;
        }
        const auto code = parse<std::int32_t>(text);
        if (!code) {
            std::fprintf(stderr, "%s:%zu: not a code\n", path.c_str(), number);
            return std::nullopt;
        }
        codes.push_back(*code);
    }
    return codes;
}

std::string number(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

void print(const char* name, double value) {
    std::printf("%s=%s\n", name, number(value).c_str());
}

template <typename Values>
void printList(const char* name, const Values& values) {
    std::string text;
    for (const auto value : values) {
        if (!text.empty()) {
            text += ',';
        }
        text += number(static_cast<double>(value));
    }
    std::printf("%s=%s\n", name, text.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    const auto options = parseOptions(argc, argv);
    if (!options) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const auto codes = readCodes(options->path);
    if (!codes) {
        return 2;
    }
    const Scale scale = scaleOf(options->adcon, options->drate, options->vref);
    SpectrumAnalyser analyser;
    const BlockFigures figures = analyseBlock(analyser, *codes);
    const NoiseFigures& noise = figures.noise;
    const double volts = scale.voltsPerCode();

    print("gain", scale.gain);
    print("rate", scale.rateHz.value_or(0.0));
    print("vref", scale.vref);
    print("count", static_cast<double>(noise.count));
    print("mean", noise.mean);
    print("min", noise.minimum);
    print("max", noise.maximum);
    print("rms", noise.rms);
    print("pp", noise.peakToPeak);
    print("effective_bits", noise.effectiveBits);
    print("noise_free_bits", noise.noiseFreeBits);
    print("mean_v", noise.mean * volts);
    print("rms_uv", noise.rms * volts * 1e6);
    print("pp_uv", noise.peakToPeak * volts * 1e6);
    print("histogram_first", figures.histogram.firstCode);
    print("histogram_width", figures.histogram.binWidth);
    printList("histogram_counts", figures.histogram.counts);
    printList("spectrum_dbfs", figures.spectrum.dbfs);
    if (!figures.tone) {
        std::puts("tone=0");
        return 0;
    }
    const ToneFigures& tone = *figures.tone;
    std::puts("tone=1");
    print("fundamental_bin", static_cast<double>(tone.fundamentalBin));
    std::vector<double> harmonics;
    for (const auto& bin : tone.harmonicBins) {
        harmonics.push_back(bin ? static_cast<double>(*bin) : -1.0);
    }
    printList("harmonic_bins", harmonics);
    print("signal_power", tone.signalPower);
    print("harmonic_power", tone.harmonicPower);
    print("noise_power", tone.noisePower);
    print("snr", tone.snr);
    print("thd", tone.thd);
    print("sinad", tone.sinad);
    print("sfdr", tone.sfdr);
    print("enob", tone.enob);
    return 0;
}
