// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_view/histogram_view.h"

#include <qcustomplot.h>
#include <QHBoxLayout>
#include <QPushButton>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "analysis_view/plot_setup.h"

namespace orv {

namespace {

// Points of the drawn normal curve: enough for a smooth bell however few
// bins the block spans.
constexpr int kCurvePoints = 401;

// The count per bin the normal distribution predicts, from `from` to `to`.
QVector<QCPGraphData> normalCurve(double mean, double rms, double countTimesWidth, double from,
                                  double to) {
    QVector<QCPGraphData> points(kCurvePoints);
    const double scale = countTimesWidth / (rms * std::sqrt(2.0 * std::numbers::pi));
    for (int i = 0; i < kCurvePoints; ++i) {
        const double x = from + (to - from) * i / (kCurvePoints - 1);
        const double z = (x - mean) / rms;
        points[i] = QCPGraphData(x, scale * std::exp(-0.5 * z * z));
    }
    return points;
}

}  // namespace

HistogramView::HistogramView(QWidget* parent)
    : QWidget(parent), plot_(newPlot(this, QStringLiteral("Histogram plot"))) {
    bars_ = new QCPBars(plot_->xAxis, plot_->yAxis);
    bars_->setName(QStringLiteral("Counts"));
    bars_->setPen(QPen(QColor(0x1F, 0x5F, 0xAF)));
    bars_->setBrush(QColor(0x1F, 0x5F, 0xAF, 0x70));
    normal_ = plot_->addGraph(plot_->xAxis, plot_->yAxis);
    normal_->setName(QStringLiteral("Normal, same mean and RMS"));
    normal_->setPen(QPen(QColor(0xC0, 0x30, 0x20), 2));
    normal_->setAntialiased(true);
    plot_->xAxis->setLabel(QStringLiteral("Code"));
    plot_->yAxis->setLabel(QStringLiteral("Count"));
    useWholeNumberTicks(plot_->xAxis);
    useWholeNumberTicks(plot_->yAxis);
    plot_->xAxis2->setVisible(true);
    volts_ = new VoltsAxis(plot_->xAxis, plot_->xAxis2, QStringLiteral("Input"));
    plot_->legend->setVisible(true);
    plot_->axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignRight);
    plot_->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    plot_->axisRect()->setRangeDrag(Qt::Horizontal);
    plot_->axisRect()->setRangeZoom(Qt::Horizontal);

    auto* reset =
        newResetButton(this, plot_, QStringLiteral("resetHistogramView"), [this] { resetView(); });
    auto* controls = new QHBoxLayout;
    controls->addWidget(reset);
    controls->addStretch();
    layOutView(this, controls, plot_);
}

void HistogramView::setHistogram(const analysis::Histogram& histogram,
                                 const analysis::NoiseFigures& noise) {
    const double width = histogram.binWidth;
    QVector<QCPBarsData> bars(qsizetype(histogram.counts.size()));
    for (std::size_t i = 0; i < histogram.counts.size(); ++i) {
        bars[qsizetype(i)] = QCPBarsData(histogram.firstCode + (double(i) + 0.5) * width,
                                         double(histogram.counts[i]));
    }
    bars_->setWidth(width);
    bars_->data()->set(bars, true);
    const double from = histogram.firstCode;
    const double to = from + width * double(histogram.counts.size());
    if (noise.rms > 0.0 && !histogram.counts.empty()) {
        normal_->data()->set(
            normalCurve(noise.mean, noise.rms, double(noise.count) * width, from, to), true);
    } else {
        normal_->data()->clear();
    }
    resetView();
}

void HistogramView::clear() {
    setHistogram({}, {});
}

void HistogramView::setScale(double voltsPerCode, VoltUnit unit) {
    volts_->setScale(voltsPerCode, unit);
}

void HistogramView::resetView() {
    bool found = false;
    const QCPRange keys = bars_->getKeyRange(found);
    // The key range takes in the bars' width already; half a bar more on
    // either side keeps the outer bars off the axes.
    const double half = bars_->width() / 2.0;
    if (found) {
        plot_->xAxis->setRange(keys.lower - half, keys.upper + half);
    } else {
        plot_->xAxis->setRange(-1.0, 1.0);
    }
    const double barTop = bars_->getValueRange(found).upper;
    const double curveTop = normal_->getValueRange(found).upper;
    plot_->yAxis->setRange(0.0, std::max({1.0, barTop, curveTop}) * 1.15);
}

}  // namespace orv
