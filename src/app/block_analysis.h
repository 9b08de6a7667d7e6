// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QString>

#include "seams/clock.h"

class QWidget;

namespace orv {

class AnalysisWindow;
class Prompts;
struct PanelData;

// "Collected 2026-12-11 14:05:09": where a block on the chart came from.
QString collectedText(const LocalTime& started);

// The main window's one Analysis window: made on first use, opened on the
// block on the chart, and following every new block while it is open. A
// block it has shown already is not shown again on reopening, so that the
// settings the user changed for it stay.
class BlockAnalysis {
public:
    BlockAnalysis(const PanelData& data, Prompts& prompts, QWidget* owner);

    // Shows the window, on the block on the chart, in front.
    void open();
    // The block on the chart changed (a collection ended well, a profile
    // emptied the chart).
    void follow();

    // The window once made; null before the first open.
    AnalysisWindow* window() const;

private:
    void showChartBlock();

    const PanelData& data_;
    Prompts& prompts_;
    QWidget* owner_;
    QPointer<AnalysisWindow> window_;
    unsigned blockNumber_ = 0;  // counts the changes of the chart's block
    unsigned shownNumber_ = 0;  // the change the window shows; 0: none yet
};

}  // namespace orv
