// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquire/scroll.h"

#include <algorithm>
#include <cstdint>

namespace orv {

int scrolledIndex(ScrollRequest request, const ScrollInfo& bar) {
    const int position = bar.position;
    const int page = effectivePage(bar);
    switch (request) {
        case ScrollRequest::LineLeft:
            return position > bar.minimum && position > 0 ? position - 1 : position;
        case ScrollRequest::LineRight:
            return position + 1 < bar.maximum ? position + 1 : position;
        case ScrollRequest::PageLeft:
            return position > page ? position - page : 0;
        case ScrollRequest::PageRight: {
            // Compared without sign: a maximum below the page does not stop
            // the step.
            const auto forward = static_cast<std::uint32_t>(position + page);
            const auto last = static_cast<std::uint32_t>(bar.maximum - page);
            return static_cast<int>(std::min(forward, last));
        }
        case ScrollRequest::ThumbPosition:
        case ScrollRequest::ThumbTrack:
            return bar.trackPosition;
        case ScrollRequest::LeftEnd:
            return bar.minimum;
        case ScrollRequest::RightEnd:
            return bar.maximum;
        case ScrollRequest::EndScroll:
            break;
    }
    return position;
}

int effectivePage(const ScrollInfo& bar) {
    return std::clamp(bar.page, 0, std::max(bar.maximum - bar.minimum + 1, 0));
}

int thumbPosition(const ScrollInfo& bar, int index) {
    const int last = std::max(bar.minimum, bar.maximum - std::max(effectivePage(bar) - 1, 0));
    return std::clamp(index, bar.minimum, last);
}

}  // namespace orv
