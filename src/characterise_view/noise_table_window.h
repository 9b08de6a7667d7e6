// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "characterise/noise_table.h"
#include "characterise/table_text.h"
#include "seams/prompts.h"

class QComboBox;
class QProgressBar;
class QPushButton;

namespace orv {

class Link;
class NoiseGrid;
class SweepSelection;
class ValueLabel;

// The Noise Table window: the converter's noise over a chosen set of gains
// and data rates, measured cell by cell over the EVM the main window
// detected, shown datasheet style and exported as CSV or Markdown.
//
// "Start" runs the plan on the user interface's thread, letting it run
// after every result, while it holds the busy flag it was given (the device
// panel's: the panel's operations wait while the run talks to the EVM, and a
// Start while the flag is held does nothing). Before the start it shows how
// long the run takes at least; during it, the cell in flight and the time
// left. "Stop", and closing the window, end the run after its current
// result; the run then writes back the registers it found, as at its end
// and after a failure, and the status line says so.
class NoiseTableWindow final : public QWidget {
    Q_OBJECT
public:
    // `busy` outlives the window.
    NoiseTableWindow(Link& link, Prompts& prompts, int& busy, QWidget* parent = nullptr);
    ~NoiseTableWindow() override;

    // "Start": runs the plan of the selection, returning when it has ended.
    void start();
    // "Stop": ends a run after its current result.
    void stop();
    bool running() const { return running_; }
    bool stopRequested() const { return stopRequested_; }

    // The cells measured by the last run, in run order.
    const std::vector<characterise::NoiseCell>& cells() const { return cells_; }
    // The figure "Show" chooses.
    characterise::TableFigure figure() const;

protected:
    // Closing during a run stops it; the run still writes the registers back.
    void closeEvent(QCloseEvent* event) override;

private:
    // What the run shows and lets run (noise_table_run.cpp).
    class Progress;

    void buildLayout();
    QWidget* buildRunColumn();
    QWidget* buildTableBar();
    // The selection changed: the estimate, Start and, while the table holds
    // no results, the table's shape.
    void takeSelection();
    void setRunning(bool running);
    void showStatus(const QString& text, bool planError = false);

    // The run's progress (noise_table_run.cpp).
    void beginRun(const characterise::SweepPlan& plan);
    void cellStarted(std::size_t index, std::size_t total, double secondsLeft);
    void showProgress(int position);
    void cellMeasured(const characterise::NoiseCell& cell);
    void endRun(const characterise::SweepOutcome& outcome, std::size_t total);
    void showCells();

    // The exports (noise_table_export.cpp).
    void exportCsv();
    void exportMarkdown();
    void copyTable();
    std::string markdown() const;
    void exportText(const FileRequest& request, const std::string& text);
    void updateExports();

    Link& link_;
    Prompts& prompts_;
    int& busy_;

    // The plan the table shows: the last run's, or the selection's while no
    // run has measured anything; and the cells measured for it.
    characterise::SweepPlan shownPlan_;
    std::vector<characterise::NoiseCell> cells_;
    bool running_ = false;
    bool stopRequested_ = false;
    bool statusIsPlanError_ = false;
    std::string exportFolder_;  // with its separator; empty for the working folder

    SweepSelection* selection_ = nullptr;
    ValueLabel* estimate_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* stop_ = nullptr;
    QProgressBar* progress_ = nullptr;
    ValueLabel* runText_ = nullptr;
    QComboBox* show_ = nullptr;
    NoiseGrid* grid_ = nullptr;
    QPushButton* exportCsv_ = nullptr;
    QPushButton* exportMarkdown_ = nullptr;
    QPushButton* copy_ = nullptr;
    ValueLabel* status_ = nullptr;
};

}  // namespace orv
