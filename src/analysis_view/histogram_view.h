// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "analysis/histogram.h"
#include "analysis/noise.h"
#include "analysis_view/volt_text.h"

class QCPBars;
class QCPGraph;
class QCustomPlot;

namespace orv {

class VoltsAxis;

// The block's histogram as bars over the codes, with the normal curve of
// the block's mean and RMS drawn over it at the same scale (counts per
// bin); the top axis reads the codes in volts.
class HistogramView final : public QWidget {
    Q_OBJECT
public:
    explicit HistogramView(QWidget* parent = nullptr);

    QCustomPlot* plot() const { return plot_; }

    // Replotting is the caller's.
    void setHistogram(const analysis::Histogram& histogram, const analysis::NoiseFigures& noise);
    void clear();
    void setScale(double voltsPerCode, VoltUnit unit);

private:
    void resetView();

    QCustomPlot* plot_;
    QCPBars* bars_;
    QCPGraph* normal_;
    VoltsAxis* volts_;
};

}  // namespace orv
