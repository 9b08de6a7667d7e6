// SPDX-License-Identifier: GPL-3.0-or-later
// The block commands: collect and analyze.

#include <cmath>

#include "analysis/figures.h"
#include "analysis/number_text.h"
#include "capture/capture.h"
#include "capture/data_files.h"
#include "cli/commands.h"
#include "cli/progress.h"
#include "converter/collect.h"
#include "converter/samples.h"

namespace orv::cli {

namespace {

constexpr double kDefaultRate = 30000.0;
constexpr int kDefaultGain = 1;
constexpr double kMicro = 1e6;

// A block collected as the panel collects it, with what a capture records,
// and the capture's rows, made while the collection ran.
struct Collected {
    Capture capture;
    RawBlock items;
    std::string rows;

    std::string captureText() const {
        return captureHeader(capture.info, capture.codes.size()) + rows;
    }
};

// Makes each result's capture row as soon as the result has arrived, while
// the next one is still on the wire, so that the capture is ready when the
// last result is; the rest is the view it wraps.
class RowMakingView final : public CollectionView {
public:
    RowMakingView(CollectionView& inner, Collected& collected)
        : inner_(inner), collected_(collected) {}

    void showProgress(int position) override { inner_.showProgress(position); }

    // Runs once after every item, so item `made_` has just arrived.
    bool keepGoing() override {
        const std::uint8_t* item = collected_.items.data() + kItemSize * made_;
        appendCaptureRow(collected_.rows, made_, sampleValue(item[0], item[1], item[2]),
                         collected_.capture.info.scale);
        ++made_;
        return inner_.keepGoing();
    }

private:
    CollectionView& inner_;
    Collected& collected_;
    std::size_t made_ = 0;
};

// The panel's collection: the registers read first (the capture records
// them, and gain and rate come from them), the start in UTC and the port's
// name, then the block. The progress bar clears its line before any message.
int collectBlock(Session& session, int count, double vref, Collected& collected) {
    const auto port = session.findEvm();
    if (!port) {
        return exit_code::kNoEvm;
    }
    RegisterImage image{};
    if (!session.readRegisters(image)) {
        return exit_code::kEvmFailed;
    }
    Link& link = session.link();
    collected.capture.info = session.captureInfo(*port, image, vref);

    collected.items.assign(kItemSize * static_cast<std::size_t>(count), 0);
    ProgressView view = session.progressView();
    session.prompts().setBeforeLine([&view] { view.clear(); });
    constexpr std::size_t kRowChars = 36;  // most rows are about as long
    collected.rows.reserve(kRowChars * static_cast<std::size_t>(count));
    RowMakingView rowMaking(view, collected);
    const int status =
        CollectSamples(link, session.prompts(), nullptr, collected.items, count, rowMaking);
    view.clear();
    session.prompts().setBeforeLine({});
    if (status == kCollectionStopped) {
        session.note("stopped; nothing was written");
        return exit_code::kInterrupted;
    }
    if (status != link_status::kSuccess) {
        return exit_code::kEvmFailed;
    }
    BuildSampleList(collected.items, count, collected.capture.codes);
    return exit_code::kDone;
}

Json orNull(const std::optional<double>& value) {
    return value && std::isfinite(*value) ? Json(*value) : Json(nullptr);
}

// The capture file, whole or not at all as far as the caller can tell: a
// failure is reported with the file's name and cause.
bool writeCapture(Session& session, const std::string& path, const Collected& collected) {
    OutputFile file(path);
    const Capture& capture = collected.capture;
    if (!file.write(captureHeader(capture.info, capture.codes.size())) ||
        !file.write(collected.rows) || !file.close()) {
        session.prompts().message(nullptr, file.error(), "Error", MessageIcon::Error);
        return false;
    }
    return true;
}

// The text file and the raw file beside it, as the panel's "Save File"
// writes them (raw first) and with its messages; the files named are
// replaced.
bool writeTextPair(Session& session, const std::string& textPath, const std::string& rawPath,
                   const Collected& collected) {
    Prompts& prompts = session.prompts();
    OutputFile raw(rawPath);
    const std::string_view bytes(reinterpret_cast<const char*>(collected.items.data()),
                                 collected.items.size());
    if (!raw.write(bytes) || !raw.close()) {
        prompts.message(nullptr, raw.error(), "Error", MessageIcon::Error);
        prompts.message(nullptr, "Save ADC Raw Data Failed !", "Error occured !");
        return false;
    }
    OutputFile text(textPath);
    if (!writeTextLines(collected.capture.codes,
                        [&text](std::string_view piece) { return text.write(piece); }) ||
        !text.close()) {
        prompts.message(nullptr, text.error(), "Error", MessageIcon::Error);
        prompts.message(nullptr, "Save ADC Data Failed !", "Error occured !");
        return false;
    }
    return true;
}

// The figures of `codes` under `scale`, keyed as the usage text lists them.
Json figuresJson(const analysis::BlockFigures& figures, const analysis::Scale& scale) {
    const analysis::NoiseFigures& noise = figures.noise;
    const bool any = noise.count > 0;
    const double volts = scale.voltsPerCode();
    const auto some = [any](double value) { return any ? std::optional(value) : std::nullopt; };
    const auto& tone = figures.tone;
    const auto toneFigure = [&tone](double analysis::ToneFigures::*figure) {
        return tone ? std::optional((*tone).*figure) : std::nullopt;
    };
    std::optional<double> fundamentalHz;
    std::optional<double> fundamentalDbfs;
    if (tone && scale.rateHz) {
        fundamentalHz = figures.spectrum.binFrequency(tone->fundamentalBin) * *scale.rateHz;
    }
    if (tone) {
        fundamentalDbfs = figures.spectrum.dbfs[tone->fundamentalBin];
    }
    return {
        {"count", noise.count},
        {"gain", scale.gain},
        {"vref_v", scale.vref},
        {"rate_sps", orNull(scale.rateHz)},
        {"mean_code", orNull(some(noise.mean))},
        {"mean_v", orNull(some(noise.mean * volts))},
        {"min_code", any ? Json(noise.minimum) : Json(nullptr)},
        {"max_code", any ? Json(noise.maximum) : Json(nullptr)},
        {"rms_noise_codes", orNull(some(noise.rms))},
        {"rms_noise_uv", orNull(some(noise.rms * volts * kMicro))},
        {"pp_noise_codes", orNull(some(noise.peakToPeak))},
        {"pp_noise_uv", orNull(some(noise.peakToPeak * volts * kMicro))},
        {"effective_resolution_bits", orNull(some(noise.effectiveBits))},
        {"noise_free_resolution_bits", orNull(some(noise.noiseFreeBits))},
        {"fundamental_hz", orNull(fundamentalHz)},
        {"fundamental_dbfs", orNull(fundamentalDbfs)},
        {"snr_db", orNull(toneFigure(&analysis::ToneFigures::snr))},
        {"thd_db", orNull(toneFigure(&analysis::ToneFigures::thd))},
        {"sinad_db", orNull(toneFigure(&analysis::ToneFigures::sinad))},
        {"sfdr_db", orNull(toneFigure(&analysis::ToneFigures::sfdr))},
        {"enob_bits", orNull(toneFigure(&analysis::ToneFigures::enob))},
    };
}

std::string figuresText(const analysis::BlockFigures& figures, const analysis::Scale& scale) {
    std::string text =
        analysis::figuresReport(analysis::figureTexts(figures.noise, figures.tone, scale), scale);
    text += "Fundamental: ";
    if (figures.tone && scale.rateHz) {
        const std::size_t bin = figures.tone->fundamentalBin;
        text += analysis::fixedText(figures.spectrum.binFrequency(bin) * *scale.rateHz, 3) +
                " Hz, " + analysis::fixedText(figures.spectrum.dbfs[bin], 2) + " dBFS\n";
    } else {
        text += "n/a\n";
    }
    return text;
}

// The settings a block is measured with: its own where it has them, else
// the flags, else gain 1, 2.5 V and 30000 SPS.
analysis::Scale settingsFor(const CliOptions& options, const std::optional<CaptureInfo>& own,
                            bool ownGainAndVref) {
    analysis::Scale scale;
    scale.gain = options.gain.value_or(kDefaultGain);
    scale.vref = options.vref.value_or(analysis::kDefaultVref);
    scale.rateHz = options.rate.value_or(kDefaultRate);
    if (own) {
        scale.gain = own->scale.gain;
        if (ownGainAndVref) {
            scale.vref = own->scale.vref;
        }
        if (own->scale.rateHz) {
            scale.rateHz = own->scale.rateHz;
        }
    }
    return scale;
}

}  // namespace

Outcome runCollect(Session& session) {
    const CliOptions& options = session.options();
    Collected collected;
    if (const int code = collectBlock(session, options.count, analysis::kDefaultVref, collected);
        code != exit_code::kDone) {
        return failure(code);
    }
    const Capture& capture = collected.capture;
    std::optional<std::string> rawPath;
    switch (options.output) {
        case OutputKind::Stdout:
            break;
        case OutputKind::Capture:
            if (!writeCapture(session, options.outputPath, collected)) {
                return failure(exit_code::kFileFailed);
            }
            break;
        case OutputKind::TextPair:
            rawPath = rawPathFor(options.outputPath);
            if (!rawPath || !writeTextPair(session, options.outputPath, *rawPath, collected)) {
                return failure(exit_code::kFileFailed);
            }
            break;
    }
    const CaptureInfo& info = capture.info;
    const bool toFile = options.output != OutputKind::Stdout;
    Outcome outcome;
    // Only what is printed is made: a whole block as JSON or as a capture
    // is the last thing a script waits for.
    if (options.json) {
        outcome.json = {
            {"port", info.port},
            {"created", utcText(*info.created)},
            {"tool", info.tool},
            {"registers", registersJson(*info.registers)},
            {"gain", info.scale.gain},
            {"vref_v", info.scale.vref},
            {"rate_sps", orNull(info.scale.rateHz)},
            {"count", capture.codes.size()},
            {"file", toFile ? Json(options.outputPath) : Json(nullptr)},
            {"raw_file", rawPath ? Json(*rawPath) : Json(nullptr)},
            {"codes", capture.codes},
        };
    } else if (!toFile) {
        outcome.text = collected.captureText();
    } else {
        outcome.text = std::to_string(capture.codes.size()) + " results from " + info.port +
                       " written to " + options.outputPath + (rawPath ? " and " + *rawPath : "") +
                       "\n";
    }
    return outcome;
}

Outcome runAnalyze(Session& session) {
    const CliOptions& options = session.options();
    std::vector<std::int32_t> codes;
    analysis::Scale scale;
    if (options.file.empty()) {
        Collected collected;
        const double vref = options.vref.value_or(analysis::kDefaultVref);
        if (const int code = collectBlock(session, options.count, vref, collected);
            code != exit_code::kDone) {
            return failure(code);
        }
        // The registers give gain and rate, not the board's reference.
        scale = settingsFor(options, collected.capture.info, false);
        codes = std::move(collected.capture.codes);
    } else {
        const FileReading file = readWholeFile(options.file, kMostBlockFileBytes);
        if (!file.bytes) {
            session.prompts().message(nullptr, file.error, "Error", MessageIcon::Error);
            return failure(exit_code::kFileFailed);
        }
        CaptureReading reading = readBlockFile(*file.bytes);
        if (!reading.capture) {
            session.note("cannot read '" + options.file + "': " + reading.error);
            return failure(exit_code::kFileFailed);
        }
        const bool isCapture = isCaptureText(*file.bytes);
        scale = settingsFor(options,
                            isCapture ? std::optional(reading.capture->info) : std::nullopt, true);
        codes = std::move(reading.capture->codes);
    }
    analysis::SpectrumAnalyser analyser;
    const analysis::BlockFigures figures = analysis::analyseBlock(analyser, codes);
    return {exit_code::kDone, figuresJson(figures, scale), figuresText(figures, scale)};
}

}  // namespace orv::cli
