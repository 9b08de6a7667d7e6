// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "analysis/figures.h"
#include "analysis/scale.h"
#include "analysis/spectrum.h"
#include "capture/capture.h"
#include "characterise/trend.h"

class QCustomPlot;
class QLabel;
class QPushButton;
class QTabWidget;

namespace orv {

class BlockView;
class FiguresBox;
class HistogramView;
class Prompts;
class SettingsBox;
class SpectrumView;
class TrendView;

// The Analysis window: the figures of one block, always visible, three
// views of it (the whole block, its histogram, its spectrum) and a fourth of
// a long run's trend. It follows the blocks and trend rows it is given and
// never talks to the EVM, so it cannot hold up a collection. "Save
// Capture…" saves the block shown as a capture; "Repeat" only asks its
// owner for a run of blocks, which the owner runs and feeds back.
class AnalysisWindow final : public QWidget {
    Q_OBJECT
public:
    explicit AnalysisWindow(Prompts& prompts, QWidget* parent = nullptr);
    ~AnalysisWindow() override;

    // Shows `block`, which the window keeps for "Save Capture…" (the caller's
    // codes may change or go while it is shown). Its settings (gain, data
    // rate, reference) become the window's, which the user may then change
    // for the figures. `origin` says where the block came from ("Collected
    // 2026-12-11 14:05:09"), shown in the window; `capturePath` is the file
    // "Save Capture…" proposes, with or without its folder ("capture.csv"
    // when empty). A saved capture holds `block.info` as given (its tool
    // too: the caller names the writer) with the window's settings of the
    // moment.
    void showBlock(Capture block, const QString& origin, const std::string& capturePath = {});
    // Shows `codes` known only by the settings they were collected with.
    void showBlock(std::span<const std::int32_t> codes, const analysis::Scale& collectedWith,
                   const QString& origin);
    // No block: empty views and blank figures.
    void clearBlock();

    // The trend of the Trend tab: one more row (in time order), a whole
    // trend read from a file with where it came from ("Trend run.csv"),
    // shown in front, or none. Only the rows are kept.
    void addTrendRow(const characterise::TrendRow& row);
    void showTrend(const characterise::Trend& trend, const QString& origin);
    void clearTrend();
    // The caption over the trend, for a trend that grows ("Repeat into
    // trend.csv").
    void setTrendOrigin(const QString& origin);

    // The "Repeat" button's state as the owner sets it (no repeatToggled),
    // and a line beside it on how the run goes.
    void setRepeating(bool on);
    bool repeating() const;
    void setRepeatStatus(const QString& status);

signals:
    // The user checked or unchecked "Repeat"; closing the window unchecks
    // it.
    void repeatToggled(bool on);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    static constexpr int kViews = 4;
    static constexpr int kTrendTab = 3;

    void buildLayout();
    // The settings changed: new texts, volts axes and frequencies, from the
    // figures already computed.
    void applyScale();
    // Replots the block's view in sight now, the others when they come into
    // sight.
    void replotViews();
    void replotCurrentIfStale();
    void trendChanged();
    // "Save View…" needs something in the view in sight.
    void enableSaveView();
    QCustomPlot* currentPlot() const;
    void saveView();
    void saveCapture();
    void copyFigures();

    Prompts& prompts_;
    analysis::SpectrumAnalyser analyser_;  // keeps its plans from block to block
    // The block shown, its settings always the window's current ones.
    Capture block_;
    std::string capturePath_;
    std::optional<analysis::BlockFigures> figures_;
    analysis::FigureTexts texts_;

    QLabel* origin_;
    QTabWidget* views_;
    BlockView* blockView_;
    HistogramView* histogramView_;
    SpectrumView* spectrumView_;
    TrendView* trendView_;
    QPushButton* repeat_;
    QLabel* repeatStatus_;
    QPushButton* saveCapture_;
    QPushButton* saveView_;
    SettingsBox* settings_;
    FiguresBox* figuresBox_;
    QPushButton* copyFigures_;
    std::array<bool, kViews> stale_{};
};

}  // namespace orv
