// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/progress.h"

#include <algorithm>
#include <string>

namespace orv::cli {

namespace {

constexpr int kFull = 100;
constexpr int kBarWidth = 40;

}  // namespace

ProgressView::ProgressView(std::ostream& err, bool drawn, Clock& clock,
                           std::function<bool()> stopRequested)
    : err_(err), drawn_(drawn), clock_(clock), stopRequested_(std::move(stopRequested)) {}

// The collection steps one past a position and back, and returns to 0 when
// it ends: only a percentage above the one shown, and not above 100, counts.
void ProgressView::showProgress(int position) {
    if (!drawn_ || position > kFull || position <= shownPercent_) {
        return;
    }
    const auto now = clock_.now();
    if (shownPercent_ >= 0 && position < kFull && now - lastDraw_ < kRedrawInterval) {
        return;
    }
    lastDraw_ = now;
    draw(position);
}

bool ProgressView::keepGoing() {
    return !(stopRequested_ && stopRequested_());
}

void ProgressView::draw(int percent) {
    shownPercent_ = percent;
    const int filled = kBarWidth * percent / kFull;
    std::string line = "\r" + label_ + " [";
    line.append(static_cast<std::size_t>(filled), '#');
    line.append(static_cast<std::size_t>(kBarWidth - filled), '.');
    line += "] " + std::to_string(percent) + " %";
    // A line shorter than the one it replaces (a label's time left going
    // down) blanks the rest of that.
    const std::size_t width = line.size() - 1;
    if (width < lineWidth_) {
        line.append(lineWidth_ - width, ' ');
    }
    err_ << line << std::flush;
    lineWidth_ = std::max(lineWidth_, width);
    onLine_ = true;
}

void ProgressView::clear() {
    if (!onLine_) {
        return;
    }
    err_ << '\r' << std::string(lineWidth_, ' ') << '\r' << std::flush;
    lineWidth_ = 0;
    onLine_ = false;
}

void ProgressView::restart() {
    clear();
    shownPercent_ = -1;
}

}  // namespace orv::cli
