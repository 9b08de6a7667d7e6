// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_view/spectrum_view.h"

#include <qcustomplot.h>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <cmath>

#include "analysis_view/plot_setup.h"

namespace orv {

namespace {

constexpr double kDecibelStep = 10.0;
// The lowest dBFS the view fits to: far below any real converter's floor,
// above the value of bins with no power at all (analysis::kFloorDbfs).
constexpr double kLowestShown = -250.0;
// The scale of a spectrum with no power at all.
constexpr double kEmptyLowest = -200.0;

const char* const kMarkerTexts[] = {"F", "2", "3", "4", "5", "6"};

}  // namespace

SpectrumView::SpectrumView(QWidget* parent)
    : QWidget(parent), plot_(newPlot(this, QStringLiteral("Spectrum plot"))) {
    graph_ = plot_->addGraph();
    graph_->setPen(QPen(QColor(0x1F, 0x5F, 0xAF)));
    markerDots_ = plot_->addGraph();
    markerDots_->setLineStyle(QCPGraph::lsNone);
    markerDots_->setScatterStyle(
        QCPScatterStyle(QCPScatterStyle::ssCircle, QColor(0xC0, 0x30, 0x20), 8));
    markerDots_->setAntialiasedScatters(true);
    for (std::size_t i = 0; i < kMarkers; ++i) {
        auto* label = new QCPItemText(plot_);
        label->setText(QString::fromLatin1(kMarkerTexts[i]));
        label->setColor(QColor(0xC0, 0x30, 0x20));
        label->setPositionAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        label->setPadding(QMargins(0, 0, 0, 6));
        label->setClipToAxisRect(true);
        label->setVisible(false);
        markerLabels_[i] = label;
    }
    plot_->yAxis->setLabel(QStringLiteral("Magnitude (dBFS)"));
    plot_->yAxis->setNumberFormat(QStringLiteral("f"));
    plot_->yAxis->setNumberPrecision(0);
    plot_->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);

    linearChoice_ = new QRadioButton(QStringLiteral("Linear"), this);
    linearChoice_->setObjectName(QStringLiteral("linearFrequency"));
    logChoice_ = new QRadioButton(QStringLiteral("Logarithmic"), this);
    logChoice_->setObjectName(QStringLiteral("logFrequency"));
    auto* choice = new QButtonGroup(this);
    choice->addButton(linearChoice_);
    choice->addButton(logChoice_);
    logChoice_->setChecked(true);
    auto* reset =
        newResetButton(this, plot_, QStringLiteral("resetSpectrumView"), [this] { resetView(); });
    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel(QStringLiteral("Frequency axis:"), this));
    controls->addWidget(linearChoice_);
    controls->addWidget(logChoice_);
    controls->addSpacing(12);
    controls->addWidget(reset);
    controls->addStretch();
    layOutView(this, controls, plot_);

    connect(logChoice_, &QRadioButton::toggled, this, [this] {
        plotSpectrum();
        plot_->replot();
    });
    plotSpectrum();
}

void SpectrumView::setSpectrum(const analysis::Spectrum& spectrum,
                               const std::optional<analysis::ToneFigures>& tone) {
    length_ = spectrum.length;
    dbfs_ = spectrum.dbfs;
    markerBins_ = {};
    if (tone) {
        markerBins_[0] = tone->fundamentalBin;
        std::copy(tone->harmonicBins.begin(), tone->harmonicBins.end(), markerBins_.begin() + 1);
    }
    plotSpectrum();
}

void SpectrumView::clear() {
    setSpectrum({}, std::nullopt);
}

void SpectrumView::setRate(std::optional<double> rateHz) {
    rateHz_ = rateHz;
    plotSpectrum();
}

// Sets the plotted points, the axes and the markers from the kept spectrum:
// cheap enough to redo for every change of rate or axis.
void SpectrumView::plotSpectrum() {
    const bool logarithmic = logChoice_->isChecked();
    if (logarithmic) {
        plot_->xAxis->setScaleType(QCPAxis::stLogarithmic);
        plot_->xAxis->setTicker(QSharedPointer<QCPAxisTicker>(new QCPAxisTickerLog));
    } else {
        plot_->xAxis->setScaleType(QCPAxis::stLinear);
        plot_->xAxis->setTicker(QSharedPointer<QCPAxisTicker>(new QCPAxisTicker));
    }
    plot_->xAxis->setLabel(rateHz_ ? QStringLiteral("Frequency (Hz)")
                                   : QStringLiteral("Frequency (cycles/sample)"));

    const double perBin = length_ ? rateHz_.value_or(1.0) / double(length_) : 0.0;
    // Bin 0 has no place on a logarithmic axis.
    const std::size_t first = logarithmic ? 1 : 0;
    QVector<QCPGraphData> points;
    points.reserve(qsizetype(dbfs_.size()));
    for (std::size_t bin = first; bin < dbfs_.size(); ++bin) {
        points.append(QCPGraphData(double(bin) * perBin, dbfs_[bin]));
    }
    graph_->data()->set(points, true);

    QVector<QCPGraphData> dots;
    for (std::size_t i = 0; i < kMarkers; ++i) {
        const auto& bin = markerBins_[i];
        const bool shown = bin && *bin < dbfs_.size();
        markerLabels_[i]->setVisible(shown);
        if (shown) {
            const double frequency = double(*bin) * perBin;
            dots.append(QCPGraphData(frequency, dbfs_[*bin]));
            markerLabels_[i]->position->setCoords(frequency, dbfs_[*bin]);
        }
    }
    markerDots_->data()->set(dots, false);
    resetView();
}

void SpectrumView::resetView() {
    const double perBin = length_ ? rateHz_.value_or(1.0) / double(length_) : 0.0;
    const std::size_t last = dbfs_.empty() ? 0 : dbfs_.size() - 1;
    if (last < 1) {
        plot_->xAxis->setRange(logChoice_->isChecked() ? QCPRange(1e-3, 0.5) : QCPRange(0.0, 0.5));
    } else {
        const std::size_t first = logChoice_->isChecked() ? 1 : 0;
        plot_->xAxis->setRange(double(first) * perBin, double(last) * perBin);
    }
    // Fits the bins with power above DC; bins of no power stay off the scale.
    double lowest = kEmptyLowest;
    double highest = kEmptyLowest;
    bool anyPower = false;
    for (std::size_t bin = 1; bin < dbfs_.size(); ++bin) {
        const double value = dbfs_[bin];
        if (value > analysis::kFloorDbfs) {
            lowest = anyPower ? std::min(lowest, value) : value;
            highest = anyPower ? std::max(highest, value) : value;
            anyPower = true;
        }
    }
    lowest = std::max(kLowestShown, std::floor(lowest / kDecibelStep) * kDecibelStep);
    // Room above the highest bin for the markers' labels.
    highest = std::max(0.0, std::ceil(highest / kDecibelStep) * kDecibelStep) + kDecibelStep;
    plot_->yAxis->setRange(lowest - kDecibelStep, highest);
}

}  // namespace orv
