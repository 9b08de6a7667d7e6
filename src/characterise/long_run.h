// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

#include "capture/capture.h"
#include "characterise/trend.h"
#include "characterise/trend_writer.h"
#include "seams/prompts.h"

namespace orv {
class Link;
}

namespace orv::characterise {

// A long run without windows: block after block of `count` results, each
// measured into a row of a trend file, until a number of blocks, a time or
// the user ends it. It holds one block at a time, whatever the number of
// blocks: memory stays flat over hours.

struct LongRunPlan {
    int count = 256;                                    // results per block, 1 to 65535
    std::optional<std::size_t> blocks;                  // stop after this many
    std::optional<std::chrono::milliseconds> duration;  // start no block once this has passed
    std::string keepFolder;  // non-empty: each block also saved there as a capture
};

// The file a kept block goes to, in `folder`: "block-000001.csv" for the
// first block.
std::string keptBlockPath(const std::string& folder, std::size_t blockNumber);

class LongRunView {
public:
    virtual ~LongRunView() = default;
    // Block `number` (from 1) begins.
    virtual void blockStarted(std::size_t number) = 0;
    // Its collection, 0 to 100 (101 leaves a bar full).
    virtual void showProgress(int position) = 0;
    // Runs after every result; false ends the run there, the block in
    // flight dropped.
    virtual bool keepGoing() = 0;
    // Its row was written.
    virtual void blockDone(std::size_t number, const TrendRow& row) = 0;
};

enum class LongRunEnd {
    Finished,    // the blocks or the time asked for
    Stopped,     // the view stopped it
    EvmFailed,   // a collection failed (a lost board); its message was given
    FileFailed,  // a row or a kept block could not be written; its message was given
};

struct LongRunOutcome {
    LongRunEnd end = LongRunEnd::Finished;
    std::size_t blocks = 0;  // rows written
};

// Runs `plan` over an EVM found and a trend file `trend` already created
// with its header (trendHeader of `info`); `info` is what every kept block
// records, with its own start. A row is written the moment its block is
// measured. A file failure is reported to `prompts` ("Error") with the
// file's name and the cause.
LongRunOutcome runLongRun(Link& link, Prompts& prompts, PromptOwner owner, const LongRunPlan& plan,
                          const CaptureInfo& info, TrendWriter& trend, LongRunView& view);

}  // namespace orv::characterise
