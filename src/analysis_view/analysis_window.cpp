// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_view/analysis_window.h"

#include <qcustomplot.h>
#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "analysis_view/block_view.h"
#include "analysis_view/figures_box.h"
#include "analysis_view/histogram_view.h"
#include "analysis_view/plot_export.h"
#include "analysis_view/settings_box.h"
#include "analysis_view/spectrum_view.h"
#include "analysis_view/trend_view.h"
#include "capture/data_files.h"
#include "seams/prompts.h"

namespace orv {

AnalysisWindow::AnalysisWindow(Prompts& prompts, QWidget* parent)
    : QWidget(parent, Qt::Window), prompts_(prompts) {
    setWindowTitle(QStringLiteral("Analysis"));
    buildLayout();
    connect(settings_, &SettingsBox::scaleChanged, this, &AnalysisWindow::applyScale);
    connect(views_, &QTabWidget::currentChanged, this, &AnalysisWindow::replotCurrentIfStale);
    connect(views_, &QTabWidget::currentChanged, this, &AnalysisWindow::enableSaveView);
    connect(repeat_, &QPushButton::toggled, this, &AnalysisWindow::repeatToggled);
    connect(saveCapture_, &QPushButton::clicked, this, &AnalysisWindow::saveCapture);
    connect(saveView_, &QPushButton::clicked, this, &AnalysisWindow::saveView);
    connect(copyFigures_, &QPushButton::clicked, this, &AnalysisWindow::copyFigures);
    clearBlock();
    resize(1100, 700);
}

AnalysisWindow::~AnalysisWindow() = default;

void AnalysisWindow::buildLayout() {
    origin_ = new QLabel(this);
    origin_->setObjectName(QStringLiteral("origin"));
    origin_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    repeatStatus_ = new QLabel(this);
    repeatStatus_->setObjectName(QStringLiteral("repeatStatus"));
    repeatStatus_->setAccessibleName(QStringLiteral("Repeat status"));
    repeatStatus_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    repeat_ = new QPushButton(QStringLiteral("Repeat"), this);
    repeat_->setObjectName(QStringLiteral("repeat"));
    repeat_->setAccessibleName(repeat_->text());
    repeat_->setCheckable(true);

    views_ = new QTabWidget(this);
    views_->setObjectName(QStringLiteral("views"));
    views_->setAccessibleName(QStringLiteral("Views"));
    blockView_ = new BlockView;
    histogramView_ = new HistogramView;
    spectrumView_ = new SpectrumView;
    trendView_ = new TrendView;
    views_->addTab(blockView_, QStringLiteral("Block"));
    views_->addTab(histogramView_, QStringLiteral("Histogram"));
    views_->addTab(spectrumView_, QStringLiteral("Spectrum"));
    views_->addTab(trendView_, QStringLiteral("Trend"));
    // The block's and the view's saves, side by side over the views.
    auto* saves = new QWidget(views_);
    saveCapture_ = new QPushButton(QStringLiteral("Save Capture\u2026"), saves);
    saveCapture_->setObjectName(QStringLiteral("saveCapture"));
    saveCapture_->setAccessibleName(saveCapture_->text());
    saveView_ = new QPushButton(QStringLiteral("Save View\u2026"), saves);
    saveView_->setObjectName(QStringLiteral("saveView"));
    saveView_->setAccessibleName(saveView_->text());
    auto* savesLayout = new QHBoxLayout(saves);
    savesLayout->setContentsMargins(0, 0, 0, 0);
    savesLayout->addWidget(saveCapture_);
    savesLayout->addWidget(saveView_);
    views_->setCornerWidget(saves, Qt::TopRightCorner);

    settings_ = new SettingsBox(this);
    figuresBox_ = new FiguresBox(this);
    copyFigures_ = new QPushButton(QStringLiteral("Copy Figures"), this);
    copyFigures_->setObjectName(QStringLiteral("copyFigures"));

    auto* side = new QVBoxLayout;
    side->addWidget(settings_);
    side->addWidget(figuresBox_);
    side->addWidget(copyFigures_, 0, Qt::AlignRight);
    side->addStretch();
    auto* body = new QHBoxLayout;
    body->addWidget(views_, 1);
    body->addLayout(side);
    auto* top = new QHBoxLayout;
    top->addWidget(origin_, 1);
    top->addWidget(repeatStatus_);
    top->addWidget(repeat_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(body, 1);
}

void AnalysisWindow::showBlock(Capture block, const QString& origin,
                               const std::string& capturePath) {
    block_ = std::move(block);
    capturePath_ = capturePath.empty() ? std::string("capture.csv") : capturePath;
    figures_ = analysis::analyseBlock(analyser_, block_.codes);
    origin_->setText(origin);
    blockView_->setBlock(block_.codes);
    histogramView_->setHistogram(figures_->histogram, figures_->noise);
    spectrumView_->setSpectrum(figures_->spectrum, figures_->tone);
    settings_->setScale(block_.info.scale);
    saveCapture_->setEnabled(true);
    copyFigures_->setEnabled(true);
    enableSaveView();
    applyScale();
}

void AnalysisWindow::showBlock(std::span<const std::int32_t> codes,
                               const analysis::Scale& collectedWith, const QString& origin) {
    Capture block;
    block.info.scale = collectedWith;
    block.codes.assign(codes.begin(), codes.end());
    showBlock(std::move(block), origin);
}

void AnalysisWindow::clearBlock() {
    block_ = {};
    capturePath_.clear();
    figures_.reset();
    texts_ = {};
    origin_->setText(QStringLiteral("No block"));
    blockView_->clear();
    histogramView_->clear();
    spectrumView_->clear();
    figuresBox_->clear();
    saveCapture_->setEnabled(false);
    copyFigures_->setEnabled(false);
    enableSaveView();
    replotViews();
}

void AnalysisWindow::addTrendRow(const characterise::TrendRow& row) {
    trendView_->addRow(row);
    trendChanged();
}

void AnalysisWindow::showTrend(const characterise::Trend& trend, const QString& origin) {
    trendView_->setRows(trend.rows, origin);
    views_->setCurrentIndex(kTrendTab);
    trendChanged();
}

void AnalysisWindow::clearTrend() {
    trendView_->setRows({}, QString());
    trendChanged();
}

void AnalysisWindow::setTrendOrigin(const QString& origin) {
    trendView_->setOrigin(origin);
}

void AnalysisWindow::trendChanged() {
    stale_[kTrendTab] = true;
    replotCurrentIfStale();
    enableSaveView();
}

void AnalysisWindow::setRepeating(bool on) {
    const QSignalBlocker quiet(repeat_);
    repeat_->setChecked(on);
}

bool AnalysisWindow::repeating() const {
    return repeat_->isChecked();
}

void AnalysisWindow::setRepeatStatus(const QString& status) {
    repeatStatus_->setText(status);
}

void AnalysisWindow::applyScale() {
    if (!figures_) {
        return;
    }
    const analysis::Scale& scale = settings_->scale();
    block_.info.scale = scale;
    texts_ = analysis::figureTexts(figures_->noise, figures_->tone, scale);
    figuresBox_->showTexts(texts_);
    // One unit for the block's volts axes, by its largest magnitude.
    const double voltsPerCode = scale.voltsPerCode();
    const double largest = std::max(std::abs(double(figures_->noise.minimum)),
                                    std::abs(double(figures_->noise.maximum)));
    const VoltUnit unit = voltUnitFor(largest * voltsPerCode);
    blockView_->setScale(voltsPerCode, unit);
    histogramView_->setScale(voltsPerCode, unit);
    spectrumView_->setRate(scale.rateHz);
    replotViews();
}

void AnalysisWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    replotCurrentIfStale();
}

// A run of blocks goes on only while the window is there to show it.
void AnalysisWindow::closeEvent(QCloseEvent* event) {
    repeat_->setChecked(false);
    QWidget::closeEvent(event);
}

// The trend does not depend on the block: only the block's views.
void AnalysisWindow::replotViews() {
    std::fill(stale_.begin(), stale_.begin() + kTrendTab, true);
    replotCurrentIfStale();
}

void AnalysisWindow::replotCurrentIfStale() {
    const int current = views_->currentIndex();
    // A hidden window draws nothing: it catches up when shown.
    if (!isVisible() || current < 0 || !stale_[std::size_t(current)]) {
        return;
    }
    stale_[std::size_t(current)] = false;
    currentPlot()->replot(QCustomPlot::rpQueuedReplot);
}

QCustomPlot* AnalysisWindow::currentPlot() const {
    const std::array<QCustomPlot*, kViews> plots{blockView_->plot(), histogramView_->plot(),
                                                 spectrumView_->plot(), trendView_->plot()};
    return plots[std::size_t(std::max(views_->currentIndex(), 0))];
}

void AnalysisWindow::enableSaveView() {
    const bool trend = views_->currentIndex() == kTrendTab;
    saveView_->setEnabled(trend ? trendView_->rowCount() > 0 : figures_.has_value());
}

void AnalysisWindow::saveView() {
    FileRequest request;
    request.kind = FileRequest::Kind::Save;
    request.initialPath = views_->tabText(views_->currentIndex()).toLower().toStdString() + ".png";
    request.filters = {{"PNG image (*.png)", "*.png"},
                       {"SVG drawing (*.svg)", "*.svg"},
                       {"PDF document (*.pdf)", "*.pdf"}};
    request.defaultExtension = "png";
    request.confirmOverwrite = true;
    const std::optional<std::string> path = prompts_.chooseFile(this, request);
    if (!path) {
        return;
    }
    if (!savePlot(*currentPlot(), QString::fromStdString(*path))) {
        prompts_.message(this, "Cannot save the view as " + *path + ".", "Analysis",
                         MessageIcon::Error);
    }
}

// The capture holds the settings the figures use now: a Vref corrected
// here is what a reader of the file needs to get the volts right.
void AnalysisWindow::saveCapture() {
    if (!figures_) {
        return;
    }
    const std::optional<std::string> path =
        prompts_.chooseFile(this, {.kind = FileRequest::Kind::Save,
                                   .initialPath = capturePath_,
                                   .filters = {{"Capture file(*.csv)", "*.csv"}},
                                   .defaultExtension = "csv",
                                   .confirmOverwrite = true});
    if (!path) {
        return;
    }
    OutputFile file(*path);
    if (!file.write(captureText(block_)) || !file.close()) {
        prompts_.message(this, file.error(), "Analysis", MessageIcon::Error);
    }
}

void AnalysisWindow::copyFigures() {
    if (!figures_) {
        return;
    }
    const std::string report = analysis::figuresReport(texts_, settings_->scale());
    QGuiApplication::clipboard()->setText(QString::fromStdString(report));
}

}  // namespace orv
