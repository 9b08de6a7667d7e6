// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "capture/capture.h"
#include "seams/clock.h"
#include "seams/prompts.h"

class QWidget;

namespace orv {

class AnalysisWindow;
class Link;
class RepeatRun;
class ZN410Dlg;
struct PanelData;

// "2026-12-11 14:05:09".
QString dateTimeText(const LocalTime& time);
// "Collected 2026-12-11 14:05:09": where a block on the chart came from.
QString collectedText(const LocalTime& started);

// The main window's one Analysis window: made on first use, opened on the
// block on the chart, and following every new block while it is open. A
// block it has shown already is not shown again on reopening, so that the
// settings the user changed for it stay. A block opened from a file stays
// in the window the same way, until the chart's block next changes.
//
// The window's "Repeat" runs here (`RepeatRun`), over the device panel's
// own collection: it asks for the trend file, writes its header and
// collects block after block into it until Repeat is unchecked, a window
// closes or the run fails; "Open Trend…" shows a trend file in the window's
// Trend tab.
class BlockAnalysis final : public QObject {
public:
    // `link` is where a repeat finds the port's name and the clock.
    BlockAnalysis(const PanelData& data, Link& link, Prompts& prompts, QWidget* owner);
    ~BlockAnalysis() override;

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

    // "Open Trend…": asks for a trend file and shows its rows in the
    // window's Trend tab, in front. A file that cannot be read is refused
    // with a message that says why (a broken line by its number), and the
    // window keeps what it showed; so is any while a repeat writes the
    // trend in the tab. Needs no EVM.
    void openTrend();

    // The device panel a repeat collects with; null when there is none.
    void setPanel(ZN410Dlg* panel);
    // Ends a repeat if one runs, the block in flight dropped (the main
    // window closes).
    void stopRepeat();
    bool repeating() const { return run_ != nullptr; }

    // The window once made; null before the first open.
    AnalysisWindow* window() const;

private:
    // A file the user opens, read whole.
    struct OpenedFile {
        std::string path;
        std::string bytes;
    };
    // Asks for a file to open with `filters` from the data files' folder
    // and reads it whole: nothing after a cancel, or after a message under
    // `caption` that says why it could not be read.
    std::optional<OpenedFile> openedFile(const char* caption, std::vector<FileFilter> filters,
                                         std::size_t mostBytes);
    // "Cannot read the file "PATH": WHY." under `caption`.
    void refuseFile(const std::string& path, const std::string& why, const char* caption);
    AnalysisWindow& madeWindow();
    // The window, made if need be, caught up with the block on the chart.
    void catchUp();
    void bringToFront();
    void showChartBlock();
    void showFileBlock(const std::string& path, bool isCapture, Capture block);
    void onRepeatToggled(bool on);
    void startRepeat();
    // Why a repeat cannot start now, or nothing.
    std::optional<std::string> repeatRefusal() const;
    // Lets the run go and unchecks Repeat.
    void dropRun();

    const PanelData& data_;
    Link& link_;
    Prompts& prompts_;
    QWidget* owner_;
    std::string tool_ = "orvellin";
    QPointer<AnalysisWindow> window_;
    QPointer<ZN410Dlg> panel_;
    RepeatRun* run_ = nullptr;  // a child, while a repeat runs
    unsigned blockNumber_ = 0;  // counts the changes of the chart's block
    // The change the window has caught up with, plus one; 0: none yet.
    unsigned shownNumber_ = 0;
};

}  // namespace orv
