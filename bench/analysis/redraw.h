// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

namespace orv::bench {

// Times the Analysis window taking a new block: its figures, the fields and
// all three plots redrawn at once, offscreen, at 1100 x 700. Needs a
// QApplication.
void runRedraw(const std::vector<std::int32_t>& codes, int repeats);

}  // namespace orv::bench
