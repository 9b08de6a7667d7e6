// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>
#include <vector>

#include "analysis_view/volt_text.h"
#include "characterise/trend.h"

class QCPGraph;
class QCustomPlot;
class QLabel;

namespace orv {

// A long run's trend: each block's mean (left axis, volts in the unit that
// fits the largest mean) and RMS noise (right axis, µV) over the time since
// the trend's first row, one point per block, with a legend. It keeps the
// rows it plots and nothing of the blocks; a caption over the plot says
// where the trend comes from. The plot's accessible description gives the
// number of blocks and the latest values, for a screen reader.
class TrendView final : public QWidget {
    Q_OBJECT
public:
    explicit TrendView(QWidget* parent = nullptr);

    QCustomPlot* plot() const { return plot_; }
    std::size_t rowCount() const { return rows_.size(); }

    // Replotting is the caller's for all three. Rows come in time order.
    void setRows(std::vector<characterise::TrendRow> rows, const QString& origin);
    void addRow(const characterise::TrendRow& row);
    void setOrigin(const QString& origin);

private:
    void plotRows();
    void plotRow(const characterise::TrendRow& row);
    double secondsSinceFirst(const characterise::TrendRow& row) const;
    void useTimeAxisFor(double seconds);
    void resetView();
    void describe();

    QLabel* origin_;
    QCustomPlot* plot_;
    QCPGraph* mean_;
    QCPGraph* noise_;
    std::vector<characterise::TrendRow> rows_;
    double largestMean_ = 0.0;  // volts, the magnitude the unit fits
    VoltUnit meanUnit_;
    bool longTimeAxis_ = false;
};

}  // namespace orv
