// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QString>
#include <string>

#include "capture/capture.h"
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
// settings the user changed for it stay. A block opened from a file stays
// in the window the same way, until the chart's block next changes.
class BlockAnalysis {
public:
    BlockAnalysis(const PanelData& data, Prompts& prompts, QWidget* owner);

    // The writer the captures saved from the window name: "orvellin 1.1.0.3".
    void setTool(std::string tool) { tool_ = std::move(tool); }

    // Shows the window, on the block on the chart, in front.
    void open();
    // "Open Capture…": asks for a capture or a text file of "Save File" and
    // shows its block in the window, in front. A capture brings its
    // settings; a text file has none and shows at gain 1, 30000 SPS and
    // 2.5 V for the user to set. A file that cannot be read is refused with
    // a message that says why (a broken line by its number), and the window
    // keeps what it showed. Needs no EVM.
    void openFile();
    // The block on the chart changed (a collection ended well, a profile
    // emptied the chart).
    void follow();

    // The window once made; null before the first open.
    AnalysisWindow* window() const;

private:
    AnalysisWindow& madeWindow();
    void bringToFront();
    void showChartBlock();
    void showFileBlock(const std::string& path, bool isCapture, Capture block);

    const PanelData& data_;
    Prompts& prompts_;
    QWidget* owner_;
    std::string tool_ = "orvellin";
    QPointer<AnalysisWindow> window_;
    unsigned blockNumber_ = 0;  // counts the changes of the chart's block
    // The change the window has caught up with, plus one; 0: none yet.
    unsigned shownNumber_ = 0;
};

}  // namespace orv
