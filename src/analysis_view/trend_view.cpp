// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_view/trend_view.h"

#include <qcustomplot.h>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <cmath>

#include "analysis/number_text.h"
#include "analysis_view/plot_setup.h"

namespace orv {

namespace {

const QColor kMeanColour(0x1F, 0x5F, 0xAF);
const QColor kNoiseColour(0xC0, 0x30, 0x20);
// Up to ten minutes the time axis counts seconds; beyond, h:mm:ss reads
// better than five-digit seconds.
constexpr double kLongestSecondsAxis = 600.0;
// Dots mark the blocks while they are few enough to tell apart.
constexpr std::size_t kMostDottedRows = 500;

// The RMS noise as the figures write it.
QString noiseText(double microvolts) {
    return QString::fromStdString(analysis::fixedText(microvolts, 3)) + QStringLiteral(" \u00B5V");
}

QString blocksText(std::size_t count) {
    return count == 1 ? QStringLiteral("1 block") : QStringLiteral("%1 blocks").arg(count);
}

// A value axis's range over `low` .. `high` with a tenth to spare either
// side; a flat line gets room of its own.
QCPRange paddedRange(double low, double high) {
    const double span = high - low;
    const double margin = span > 0.0 ? 0.1 * span : std::max(0.01 * std::abs(high), 1.0);
    return {low - margin, high + margin};
}

}  // namespace

TrendView::TrendView(QWidget* parent)
    : QWidget(parent), plot_(newPlot(this, QStringLiteral("Trend plot"))) {
    origin_ = new QLabel(this);
    origin_->setObjectName(QStringLiteral("trendOrigin"));
    origin_->setAccessibleName(QStringLiteral("Trend origin"));
    origin_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    mean_ = plot_->addGraph(plot_->xAxis, plot_->yAxis);
    mean_->setName(QStringLiteral("Mean"));
    mean_->setPen(QPen(kMeanColour));
    noise_ = plot_->addGraph(plot_->xAxis, plot_->yAxis2);
    noise_->setName(QStringLiteral("RMS noise"));
    noise_->setPen(QPen(kNoiseColour));
    plot_->yAxis->setLabelColor(kMeanColour);
    plot_->yAxis->setNumberFormat(QStringLiteral("g"));
    plot_->yAxis->setNumberPrecision(9);
    plot_->yAxis2->setVisible(true);
    plot_->yAxis2->setLabel(QStringLiteral("RMS noise (\u00B5V)"));
    plot_->yAxis2->setLabelColor(kNoiseColour);
    plot_->legend->setVisible(true);
    plot_->axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignBottom | Qt::AlignRight);
    plot_->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    plot_->axisRect()->setRangeDrag(Qt::Horizontal);
    plot_->axisRect()->setRangeZoom(Qt::Horizontal);

    auto* reset =
        newResetButton(this, plot_, QStringLiteral("resetTrendView"), [this] { resetView(); });
    reset->setAccessibleName(QStringLiteral("Reset Trend View"));
    auto* top = new QHBoxLayout;
    top->addWidget(reset);
    top->addSpacing(12);
    top->addWidget(origin_, 1);
    layOutView(this, top, plot_);
    setRows({}, QString());
}

void TrendView::setRows(std::vector<characterise::TrendRow> rows, const QString& origin) {
    rows_ = std::move(rows);
    setOrigin(origin);
    plotRows();
}

// A row that needs another unit for the means replots them all; any other
// is one more point.
void TrendView::addRow(const characterise::TrendRow& row) {
    rows_.push_back(row);
    largestMean_ = std::max(largestMean_, std::abs(row.meanV));
    if (rows_.size() == 1 || voltUnitFor(largestMean_).perVolt != meanUnit_.perVolt) {
        plotRows();
        return;
    }
    plotRow(row);
    resetView();
    describe();
}

void TrendView::setOrigin(const QString& origin) {
    origin_->setText(origin.isEmpty() ? QStringLiteral("No trend") : origin);
}

void TrendView::plotRows() {
    largestMean_ = 0.0;
    for (const characterise::TrendRow& row : rows_) {
        largestMean_ = std::max(largestMean_, std::abs(row.meanV));
    }
    meanUnit_ = voltUnitFor(largestMean_);
    plot_->yAxis->setLabel(QStringLiteral("Mean (") + QString::fromUtf8(meanUnit_.name) +
                           QStringLiteral(")"));
    mean_->data()->clear();
    noise_->data()->clear();
    for (const characterise::TrendRow& row : rows_) {
        plotRow(row);
    }
    resetView();
    describe();
}

void TrendView::plotRow(const characterise::TrendRow& row) {
    const double seconds = secondsSinceFirst(row);
    mean_->addData(seconds, row.meanV * meanUnit_.perVolt);
    noise_->addData(seconds, row.rmsNoiseUv);
}

double TrendView::secondsSinceFirst(const characterise::TrendRow& row) const {
    return std::chrono::duration<double>(row.start - rows_.front().start).count();
}

void TrendView::useTimeAxisFor(double seconds) {
    const bool longAxis = seconds > kLongestSecondsAxis;
    if (longAxis == longTimeAxis_ && !plot_->xAxis->label().isEmpty()) {
        return;
    }
    longTimeAxis_ = longAxis;
    if (longAxis) {
        auto ticker = QSharedPointer<QCPAxisTickerTime>::create();
        ticker->setTimeFormat(QStringLiteral("%h:%m:%s"));
        plot_->xAxis->setTicker(ticker);
        plot_->xAxis->setLabel(QStringLiteral("Time since the first block (h:mm:ss)"));
    } else {
        plot_->xAxis->setTicker(QSharedPointer<QCPAxisTicker>::create());
        plot_->xAxis->setLabel(QStringLiteral("Time since the first block (s)"));
    }
}

void TrendView::resetView() {
    const double seconds = rows_.empty() ? 0.0 : secondsSinceFirst(rows_.back());
    useTimeAxisFor(seconds);
    const double span = std::max(seconds, 1.0);
    plot_->xAxis->setRange(-0.02 * span, 1.02 * span);
    const QCPScatterStyle dots(QCPScatterStyle::ssDisc, 4);
    const QCPScatterStyle none(QCPScatterStyle::ssNone);
    mean_->setScatterStyle(rows_.size() <= kMostDottedRows ? dots : none);
    noise_->setScatterStyle(rows_.size() <= kMostDottedRows ? dots : none);
    if (rows_.empty()) {
        plot_->yAxis->setRange(-1.0, 1.0);
        plot_->yAxis2->setRange(0.0, 1.0);
        return;
    }
    bool found = false;
    const QCPRange means = mean_->getValueRange(found);
    plot_->yAxis->setRange(paddedRange(means.lower, means.upper));
    const QCPRange noise = noise_->getValueRange(found);
    plot_->yAxis2->setRange(0.0, std::max(noise.upper, 1e-3) * 1.15);
}

void TrendView::describe() {
    if (rows_.empty()) {
        plot_->setAccessibleDescription(QStringLiteral("No blocks"));
        return;
    }
    const characterise::TrendRow& last = rows_.back();
    plot_->setAccessibleDescription(blocksText(rows_.size()) + QStringLiteral("; last mean ") +
                                    QString::fromStdString(voltsText(last.meanV)) +
                                    QStringLiteral(", RMS noise ") + noiseText(last.rmsNoiseUv));
}

}  // namespace orv
