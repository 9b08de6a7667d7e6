// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

#include "acquire/chart_colours.h"
#include "acquire/chart_state.h"

class QFont;

namespace orv {

// The whole chart as one picture of `size` pixels, origin at the top left:
// the grid of 46 by 31 lines with their ticks, the sample numbers under it
// and the values beside it, and the trace of up to 45 samples from `first`
// on. An empty list gives the background and the grid only, and resets the
// state's fixed steps; a `first` at or past the end gives no trace.
QImage renderChart(ChartState& state, const SampleList& samples, int first,
                   const ChartColours& colours, QSize size, const QFont& font);

}  // namespace orv
