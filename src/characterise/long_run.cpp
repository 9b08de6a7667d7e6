// SPDX-License-Identifier: GPL-3.0-or-later
#include "characterise/long_run.h"

#include <array>
#include <cstdio>

#include "capture/data_files.h"
#include "converter/collect.h"
#include "converter/samples.h"
#include "link/link.h"

namespace orv::characterise {

namespace {

using namespace std::chrono;

class BlockCollection final : public CollectionView {
public:
    explicit BlockCollection(LongRunView& view) : view_(view) {}
    void showProgress(int position) override { view_.showProgress(position); }
    bool keepGoing() override { return view_.keepGoing(); }

private:
    LongRunView& view_;
};

// The block as a capture in the keep folder, its own start its creation.
bool keepBlock(const std::string& path, const CaptureInfo& info, UtcMillis start,
               std::span<const std::int32_t> codes, std::string& error) {
    Capture capture{info, {codes.begin(), codes.end()}};
    capture.info.created = calendarOf(start);
    OutputFile file(path);
    if (!file.write(captureText(capture)) || !file.close()) {
        error = file.error();
        return false;
    }
    return true;
}

bool timeIsUp(const LongRunPlan& plan, const Clock& clock, Clock::TimePoint started) {
    return plan.duration && clock.now() - started >= *plan.duration;
}

}  // namespace

std::string keptBlockPath(const std::string& folder, std::size_t blockNumber) {
    std::array<char, 32> name{};
    std::snprintf(name.data(), name.size(), "block-%06zu.csv", blockNumber);
    // Joined as text, so that a UTF-8 folder stays UTF-8; '/' separates on
    // every platform.
    const bool separated = folder.empty() || folder.ends_with('/') || folder.ends_with('\\');
    return folder + (separated ? "" : "/") + name.data();
}

LongRunOutcome runLongRun(Link& link, Prompts& prompts, PromptOwner owner, const LongRunPlan& plan,
                          const CaptureInfo& info, TrendWriter& trend, LongRunView& view) {
    Clock& clock = link.clock();
    const RunClock stamps(clock);
    const Clock::TimePoint started = clock.now();
    // One block's buffers, reused: nothing grows with the number of blocks.
    RawBlock items(kItemSize * static_cast<std::size_t>(plan.count));
    SampleList codes;
    BlockCollection collection(view);
    LongRunOutcome outcome;
    while (!(plan.blocks && outcome.blocks >= *plan.blocks) && !timeIsUp(plan, clock, started)) {
        const std::size_t number = outcome.blocks + 1;
        view.blockStarted(number);
        const UtcMillis start = stamps.now();
        const int status = CollectSamples(link, prompts, owner, items, plan.count, collection);
        if (status == kCollectionStopped) {
            outcome.end = LongRunEnd::Stopped;
            return outcome;
        }
        if (status != link_status::kSuccess) {
            outcome.end = LongRunEnd::EvmFailed;
            return outcome;
        }
        BuildSampleList(items, plan.count, codes);
        const TrendRow row = trendRowOf(start, codes, info.scale);
        if (!trend.append(row)) {
            prompts.message(owner, trend.error(), "Error", MessageIcon::Error);
            outcome.end = LongRunEnd::FileFailed;
            return outcome;
        }
        ++outcome.blocks;
        std::string error;
        if (!plan.keepFolder.empty() &&
            !keepBlock(keptBlockPath(plan.keepFolder, number), info, start, codes, error)) {
            prompts.message(owner, error, "Error", MessageIcon::Error);
            outcome.end = LongRunEnd::FileFailed;
            return outcome;
        }
        view.blockDone(number, row);
    }
    outcome.end = LongRunEnd::Finished;
    return outcome;
}

}  // namespace orv::characterise
