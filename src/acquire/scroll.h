// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace orv {

// What a scroll bar asks for, in the terms of a bar whose range runs from
// `minimum` to `maximum` inclusive with a thumb `page` items wide.
enum class ScrollRequest {
    LineLeft,
    LineRight,
    PageLeft,
    PageRight,
    ThumbPosition,
    ThumbTrack,
    LeftEnd,
    RightEnd,
    EndScroll,
};

struct ScrollInfo {
    int minimum = 0;
    int maximum = 0;
    int page = 0;
    int position = 0;
    int trackPosition = 0;
};

// The first sample the chart is to show after `request`. It may lie past
// the range the thumb can reach (the thumb stops at maximum - page + 1) or
// past the end of the block; the chart is drawn from it all the same.
int scrolledIndex(ScrollRequest request, const ScrollInfo& bar);

// The thumb's position once the bar has kept `index` within what it can show.
int thumbPosition(const ScrollInfo& bar, int index);

// The page as the bar keeps it: no wider than the range.
int effectivePage(const ScrollInfo& bar);

}  // namespace orv
