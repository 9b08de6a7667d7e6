// SPDX-License-Identifier: GPL-3.0-or-later
// The characterisation commands: sweep, the noise table over gains and
// data rates, and log, block after block into a trend file. Both keep what
// they measured when Ctrl-C or the EVM ends them early.

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <span>
#include <system_error>

#include "analysis/scale.h"
#include "capture/capture.h"
#include "capture/data_files.h"
#include "characterise/long_run.h"
#include "characterise/noise_table.h"
#include "characterise/table_text.h"
#include "characterise/trend.h"
#include "characterise/trend_writer.h"
#include "cli/commands.h"
#include "cli/progress.h"

namespace orv::cli {

namespace {

using characterise::NoiseCell;

// "1 cell", "28 cells".
std::string counted(std::size_t count, const std::string& noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

double secondsSince(const Clock& clock, Clock::TimePoint start) {
    return std::chrono::duration<double>(clock.now() - start).count();
}

// --- sweep --------------------------------------------------------------------

// A bar for each cell, after "cell 3/28, 2 min 10 s left": the floor of
// what is left of this cell and of every cell after it.
class SweepProgress final : public characterise::SweepView {
public:
    SweepProgress(Session& session, const characterise::SweepPlan& plan)
        : plan_(plan),
          cells_(characterise::cellsOf(plan)),
          clock_(session.clock()),
          bar_(session.progressView()) {}

    void cellStarted(std::size_t index, std::size_t total, double secondsLeft) override {
        index_ = index;
        total_ = total;
        cellStart_ = clock_.now();
        leftAtStart_ = secondsLeft;
        const double thisCell = index < cells_.size()
                                    ? characterise::cellFloorSeconds(plan_, cells_[index].rateSps)
                                    : 0.0;
        leftAfterCell_ = std::max(0.0, secondsLeft - thisCell);
        bar_.restart();
        shownPosition_ = -1;
    }

    void showProgress(int position) override {
        if (position != shownPosition_) {
            shownPosition_ = position;
            bar_.setLabel(label());
        }
        bar_.showProgress(position);
    }

    bool keepGoing() override { return bar_.keepGoing(); }
    void cellMeasured(const NoiseCell&) override {}

    void clear() { bar_.clear(); }

private:
    std::string label() const {
        const double left =
            std::max(leftAfterCell_, leftAtStart_ - secondsSince(clock_, cellStart_));
        return "cell " + std::to_string(index_ + 1) + "/" + std::to_string(total_) + ", " +
               characterise::durationText(left) + " left";
    }

    const characterise::SweepPlan& plan_;
    const std::vector<characterise::SweepCell> cells_;
    const Clock& clock_;
    ProgressView bar_;
    std::size_t index_ = 0;
    std::size_t total_ = 0;
    Clock::TimePoint cellStart_{};
    double leftAtStart_ = 0.0;
    double leftAfterCell_ = 0.0;
    int shownPosition_ = -1;
};

int exitCodeOf(characterise::SweepEnd end) {
    switch (end) {
        case characterise::SweepEnd::Finished:
            return exit_code::kDone;
        case characterise::SweepEnd::Stopped:
            return exit_code::kInterrupted;
        case characterise::SweepEnd::Failed:
            return exit_code::kEvmFailed;
    }
    return exit_code::kEvmFailed;
}

// {"cells": [...]}, keyed as the CSV's columns.
Json cellsJson(std::span<const NoiseCell> cells) {
    Json list = Json::array();
    for (const NoiseCell& cell : cells) {
        list.push_back({
            {"gain", cell.gain},
            {"rate_sps", cell.rateSps},
            {"rms_noise_uv", cell.rmsNoiseUv},
            {"pp_noise_uv", cell.ppNoiseUv},
            {"effective_resolution_bits", cell.effectiveBits},
            {"noise_free_resolution_bits", cell.noiseFreeBits},
            {"mean_v", cell.meanV},
        });
    }
    return {{"cells", std::move(list)}};
}

// The three tables, datasheet style, each under its heading: a Markdown
// document as it is. Nothing when no cell was measured.
std::string tablesText(const characterise::SweepPlan& plan, std::span<const NoiseCell> cells) {
    using characterise::TableFigure;
    std::string text;
    if (cells.empty()) {
        return text;
    }
    for (const TableFigure figure :
         {TableFigure::RmsNoiseUv, TableFigure::EffectiveBits, TableFigure::NoiseFreeBits}) {
        if (!text.empty()) {
            text += '\n';
        }
        text += "## " + characterise::figureName(figure) + "\n\n";
        text += characterise::markdownTable(plan, cells, figure);
        if (!text.ends_with('\n')) {
            text += '\n';
        }
    }
    return text;
}

bool writeCells(Session& session, const std::string& path, std::span<const NoiseCell> cells) {
    OutputFile file(path);
    if (!file.write(characterise::cellsCsv(cells)) || !file.close()) {
        session.prompts().message(nullptr, file.error(), "Error", MessageIcon::Error);
        return false;
    }
    return true;
}

// --- log ----------------------------------------------------------------------

// A bar for each block, after "block 12", "block 12/100" with --blocks, or
// "block 12, 25 min left" with --for.
class LogProgress final : public characterise::LongRunView {
public:
    LogProgress(Session& session, const characterise::LongRunPlan& plan)
        : plan_(plan),
          clock_(session.clock()),
          start_(clock_.now()),
          bar_(session.progressView()) {}

    void blockStarted(std::size_t number) override {
        bar_.restart();
        bar_.setLabel(label(number));
    }
    void showProgress(int position) override { bar_.showProgress(position); }
    bool keepGoing() override { return bar_.keepGoing(); }
    void blockDone(std::size_t, const characterise::TrendRow&) override {}

    void clear() { bar_.clear(); }

private:
    std::string label(std::size_t number) const {
        std::string text = "block " + std::to_string(number);
        if (plan_.blocks) {
            text += "/" + std::to_string(*plan_.blocks);
        }
        if (plan_.duration) {
            const double total = std::chrono::duration<double>(*plan_.duration).count();
            text +=
                ", " +
                characterise::durationText(std::max(0.0, total - secondsSince(clock_, start_))) +
                " left";
        }
        return text;
    }

    const characterise::LongRunPlan& plan_;
    const Clock& clock_;
    const Clock::TimePoint start_;
    ProgressView bar_;
};

int exitCodeOf(characterise::LongRunEnd end) {
    switch (end) {
        case characterise::LongRunEnd::Finished:
            return exit_code::kDone;
        case characterise::LongRunEnd::Stopped:
            return exit_code::kInterrupted;
        case characterise::LongRunEnd::EvmFailed:
            return exit_code::kEvmFailed;
        case characterise::LongRunEnd::FileFailed:
            return exit_code::kFileFailed;
    }
    return exit_code::kEvmFailed;
}

// The folder of --keep-blocks, with the folders above it, unless it is
// there; a failure is told with its name and cause.
bool makeFolder(Session& session, const std::string& folder) {
    const std::filesystem::path path(std::u8string(folder.begin(), folder.end()));
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (!error && std::filesystem::is_directory(path, error)) {
        return true;
    }
    const std::string cause = error ? error.message() : std::string("a file has that name");
    session.prompts().message(nullptr,
                              "Cannot create the folder \"" + folder + "\": " + cause + ".",
                              "Error", MessageIcon::Error);
    return false;
}

}  // namespace

Outcome runSweep(Session& session) {
    const CliOptions& options = session.options();
    const characterise::SweepPlan& plan = options.sweep;
    const std::size_t cellCount = characterise::cellsOf(plan).size();
    session.note("sweep of " + counted(cellCount, "cell") + ", " +
                 counted(static_cast<std::size_t>(plan.count), "result") + " each: at least " +
                 characterise::durationText(characterise::sweepFloorSeconds(plan)));
    if (!session.findEvm()) {
        return failure(exit_code::kNoEvm);
    }

    SweepProgress view(session, plan);
    session.prompts().setBeforeLine([&view] { view.clear(); });
    const characterise::SweepOutcome outcome =
        characterise::runNoiseTable(session.link(), session.prompts(), nullptr, plan, view);
    view.clear();
    session.prompts().setBeforeLine({});

    int exitCode = exitCodeOf(outcome.end);
    if (outcome.end == characterise::SweepEnd::Stopped) {
        session.note("stopped after " + std::to_string(outcome.cells.size()) + " of " +
                     counted(cellCount, "cell"));
    }
    if (const auto note = characterise::restoreNote(outcome)) {
        session.note(*note);
    }
    // A run that measured nothing leaves an earlier file of that name alone.
    if (!options.outputPath.empty() && !outcome.cells.empty() &&
        !writeCells(session, options.outputPath, outcome.cells) && exitCode == exit_code::kDone) {
        exitCode = exit_code::kFileFailed;
    }
    return {exitCode, cellsJson(outcome.cells), tablesText(plan, outcome.cells)};
}

Outcome runLog(Session& session) {
    const CliOptions& options = session.options();
    const characterise::LongRunPlan& plan = options.longRun;
    const std::string& path = options.outputPath;
    const auto port = session.findEvm();
    if (!port) {
        return failure(exit_code::kNoEvm);
    }
    RegisterImage image{};
    if (!session.readRegisters(image)) {
        return failure(exit_code::kEvmFailed);
    }
    const CaptureInfo info = session.captureInfo(*port, image, analysis::kDefaultVref);
    if (!plan.keepFolder.empty() && !makeFolder(session, plan.keepFolder)) {
        return failure(exit_code::kFileFailed);
    }
    characterise::TrendWriter trend;
    if (!trend.create(path,
                      characterise::trendHeader(info, static_cast<std::size_t>(plan.count)))) {
        session.prompts().message(nullptr, trend.error(), "Error", MessageIcon::Error);
        return failure(exit_code::kFileFailed);
    }

    LogProgress view(session, plan);
    session.prompts().setBeforeLine([&view] { view.clear(); });
    const characterise::LongRunOutcome outcome = characterise::runLongRun(
        session.link(), session.prompts(), nullptr, plan, info, trend, view);
    view.clear();
    session.prompts().setBeforeLine({});

    int exitCode = exitCodeOf(outcome.end);
    if (!trend.close() && outcome.end != characterise::LongRunEnd::FileFailed) {
        session.prompts().message(nullptr, trend.error(), "Error", MessageIcon::Error);
        exitCode = exitCode == exit_code::kDone ? exit_code::kFileFailed : exitCode;
    }
    const std::string kept = path + " keeps its " + counted(outcome.blocks, "row");
    switch (outcome.end) {
        case characterise::LongRunEnd::Finished:
            break;
        case characterise::LongRunEnd::Stopped:
            session.note("stopped; " + kept);
            break;
        case characterise::LongRunEnd::EvmFailed:
            session.note("the EVM failed; " + kept);
            break;
        case characterise::LongRunEnd::FileFailed:
            session.note(kept);
            break;
    }
    return {exitCode,
            {
                {"file", path},
                {"port", info.port},
                {"blocks", outcome.blocks},
                {"keep_folder", plan.keepFolder.empty() ? Json(nullptr) : Json(plan.keepFolder)},
            },
            counted(outcome.blocks, "block") + " from " + info.port + " written to " + path + "\n"};
}

}  // namespace orv::cli
