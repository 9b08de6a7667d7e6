// SPDX-License-Identifier: GPL-3.0-or-later
#include "characterise_view/noise_table_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "characterise_view/noise_grid.h"
#include "characterise_view/sweep_selection.h"
#include "controls/value_label.h"

namespace orv {

namespace {

using characterise::TableFigure;

QPushButton* namedButton(const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setAccessibleName(caption);
    button->setAutoDefault(false);
    return button;
}

ValueLabel* valueLabel(const QString& name, QWidget* parent) {
    auto* label = new ValueLabel(parent);
    label->setAccessibleName(name);
    label->setWordWrap(true);
    return label;
}

}  // namespace

NoiseTableWindow::NoiseTableWindow(Link& link, Prompts& prompts, int& busy, QWidget* parent)
    : QWidget(parent, Qt::Window), link_(link), prompts_(prompts), busy_(busy) {
    setWindowTitle(QStringLiteral("Noise Table"));
    buildLayout();
    connect(selection_, &SweepSelection::changed, this, &NoiseTableWindow::takeSelection);
    connect(start_, &QPushButton::clicked, this, &NoiseTableWindow::start);
    connect(stop_, &QPushButton::clicked, this, &NoiseTableWindow::stop);
    connect(show_, &QComboBox::currentIndexChanged, this, &NoiseTableWindow::showCells);
    connect(exportCsv_, &QPushButton::clicked, this, &NoiseTableWindow::exportCsv);
    connect(exportMarkdown_, &QPushButton::clicked, this, &NoiseTableWindow::exportMarkdown);
    connect(copy_, &QPushButton::clicked, this, &NoiseTableWindow::copyTable);
    setRunning(false);
    takeSelection();
}

NoiseTableWindow::~NoiseTableWindow() = default;

// The selection and the run side by side over the table, which takes the
// window's whole width; the status line under everything.
void NoiseTableWindow::buildLayout() {
    selection_ = new SweepSelection(this);
    status_ = valueLabel(QStringLiteral("Status"), this);
    auto* top = new QHBoxLayout;
    top->addWidget(selection_);
    top->addWidget(buildRunColumn(), 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buildTableBar());
    grid_ = new NoiseGrid(this);
    layout->addWidget(grid_, 1);
    layout->addWidget(status_);
}

// The estimate, Start and Stop, and the run's progress.
QWidget* NoiseTableWindow::buildRunColumn() {
    auto* column = new QWidget(this);
    estimate_ = valueLabel(QStringLiteral("Estimate"), column);
    start_ = namedButton(QStringLiteral("Start"), column);
    stop_ = namedButton(QStringLiteral("Stop"), column);
    progress_ = new QProgressBar(column);
    progress_->setAccessibleName(QStringLiteral("Cell progress"));
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    runText_ = valueLabel(QStringLiteral("Run progress"), column);
    // Room for the longest run's "Cell 112 of 112, about 27 min 1 s left" on
    // one line, with digits to spare.
    column->setMinimumWidth(runText_->fontMetrics().horizontalAdvance(
        QStringLiteral("Cell 888 of 888, about 88 min 88 s left")));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(start_);
    buttons->addWidget(stop_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(estimate_);
    layout->addLayout(buttons);
    layout->addWidget(progress_);
    layout->addWidget(runText_);
    layout->addStretch();
    return column;
}

// "Show" and the exports, over the table.
QWidget* NoiseTableWindow::buildTableBar() {
    auto* bar = new QWidget(this);
    show_ = new QComboBox(bar);
    show_->setAccessibleName(QStringLiteral("Show"));
    show_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (const TableFigure figure :
         {TableFigure::RmsNoiseUv, TableFigure::EffectiveBits, TableFigure::NoiseFreeBits}) {
        show_->addItem(QString::fromStdString(characterise::figureName(figure)), int(figure));
    }
    auto* showLabel = new QLabel(show_->accessibleName(), bar);
    showLabel->setBuddy(show_);
    exportCsv_ = namedButton(QStringLiteral("Export CSV\u2026"), bar);
    exportMarkdown_ = namedButton(QStringLiteral("Export Markdown\u2026"), bar);
    copy_ = namedButton(QStringLiteral("Copy"), bar);

    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(showLabel);
    layout->addWidget(show_);
    layout->addStretch();
    layout->addWidget(exportCsv_);
    layout->addWidget(exportMarkdown_);
    layout->addWidget(copy_);
    return bar;
}

TableFigure NoiseTableWindow::figure() const {
    return TableFigure(show_->currentData().toInt());
}

// A plan the run would refuse keeps Start disabled and says why; the
// estimate is what the user is told before the start.
void NoiseTableWindow::takeSelection() {
    if (running_) {
        return;
    }
    const characterise::SweepPlan plan = selection_->plan();
    const std::optional<std::string> error = characterise::planError(plan);
    start_->setEnabled(!error);
    if (error) {
        estimate_->setValue(QString());
        showStatus(
            QStringLiteral("Cannot start: ") + QString::fromStdString(*error) + QLatin1Char('.'),
            true);
    } else {
        estimate_->setValue(QStringLiteral("At least ") +
                            QString::fromStdString(
                                characterise::durationText(characterise::sweepFloorSeconds(plan))));
        if (statusIsPlanError_) {
            showStatus(QString());
        }
    }
    if (cells_.empty()) {
        shownPlan_ = plan;
        grid_->setShape(plan);
    }
}

// The selection and the exports wait while a run goes; "Show" does not.
void NoiseTableWindow::setRunning(bool running) {
    running_ = running;
    selection_->setEnabled(!running);
    start_->setEnabled(!running);
    stop_->setEnabled(running);
    updateExports();
}

void NoiseTableWindow::showStatus(const QString& text, bool planError) {
    status_->setValue(text);
    statusIsPlanError_ = planError;
}

void NoiseTableWindow::stop() {
    if (running_) {
        stopRequested_ = true;
    }
}

void NoiseTableWindow::closeEvent(QCloseEvent* event) {
    stop();
    QWidget::closeEvent(event);
}

}  // namespace orv
