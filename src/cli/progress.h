// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>
#include <ostream>
#include <string>

#include "converter/collect.h"
#include "seams/clock.h"

namespace orv::cli {

// A collection as the command line shows it: a progress bar on one line of
// the error stream when that stream is a terminal (nothing otherwise),
// redrawn when its percentage grows, at most every kRedrawInterval but for
// the full bar, which is always drawn. The collection stops after the
// current item once `stopRequested` says so.
class ProgressView final : public CollectionView {
public:
    static constexpr std::chrono::milliseconds kRedrawInterval{250};

    ProgressView(std::ostream& err, bool drawn, Clock& clock, std::function<bool()> stopRequested);

    void showProgress(int position) override;
    bool keepGoing() override;

    // Blanks the bar's line and returns to its start, if a bar was drawn,
    // so that a message or the shell's prompt takes the line.
    void clear();

    // The words before the bar, "Collecting" until set (a sweep's cell and
    // its time left, a long run's block), drawn from the next redraw on.
    void setLabel(std::string label) { label_ = std::move(label); }
    // Blanks the bar and starts it again from nothing: the next collection
    // of a run of several.
    void restart();

private:
    void draw(int percent);

    std::ostream& err_;
    bool drawn_;
    Clock& clock_;
    std::function<bool()> stopRequested_;
    std::string label_ = "Collecting";
    int shownPercent_ = -1;
    std::size_t lineWidth_ = 0;  // of the line drawn, while it shows
    bool onLine_ = false;
    Clock::TimePoint lastDraw_{};
};

}  // namespace orv::cli
