// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_view/block_view.h"

#include <qcustomplot.h>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <cmath>

#include "analysis_view/plot_setup.h"

namespace orv {

BlockView::BlockView(QWidget* parent)
    : QWidget(parent), plot_(newPlot(this, QStringLiteral("Block plot"))) {
    graph_ = plot_->addGraph(plot_->xAxis, plot_->yAxis);
    graph_->setPen(QPen(QColor(0x1F, 0x5F, 0xAF)));
    plot_->xAxis->setLabel(QStringLiteral("Sample"));
    plot_->yAxis->setLabel(QStringLiteral("Code"));
    useWholeNumberTicks(plot_->xAxis);
    useWholeNumberTicks(plot_->yAxis);
    // The volts axis sits beside the codes axis; one of the two shows.
    voltsAxis_ = plot_->axisRect()->addAxis(QCPAxis::atLeft);
    voltsAxis_->grid()->setVisible(true);
    volts_ = new VoltsAxis(plot_->yAxis, voltsAxis_, QStringLiteral("Input"));
    plot_->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    plot_->axisRect()->setRangeDragAxes(plot_->xAxis, plot_->yAxis);
    plot_->axisRect()->setRangeZoomAxes(plot_->xAxis, plot_->yAxis);

    codesChoice_ = new QRadioButton(QStringLiteral("Codes"), this);
    codesChoice_->setObjectName(QStringLiteral("codesAxis"));
    voltsChoice_ = new QRadioButton(QStringLiteral("Volts"), this);
    voltsChoice_->setObjectName(QStringLiteral("voltsAxis"));
    auto* choice = new QButtonGroup(this);
    choice->addButton(codesChoice_);
    choice->addButton(voltsChoice_);
    codesChoice_->setChecked(true);
    auto* reset =
        newResetButton(this, plot_, QStringLiteral("resetBlockView"), [this] { resetView(); });
    auto* cursorLabel = new QLabel(QStringLiteral("Cursor"), this);
    cursor_ = new QLineEdit(this);
    cursor_->setObjectName(QStringLiteral("cursor"));
    cursor_->setReadOnly(true);
    cursor_->setAccessibleName(cursorLabel->text());
    cursor_->setMinimumWidth(cursor_->fontMetrics().horizontalAdvance(
                                 QStringLiteral("Sample 65535: code -8388608, -0.000000 mV")) +
                             12);
    cursorLabel->setBuddy(cursor_);

    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel(QStringLiteral("Vertical axis:"), this));
    controls->addWidget(codesChoice_);
    controls->addWidget(voltsChoice_);
    controls->addSpacing(12);
    controls->addWidget(reset);
    controls->addStretch();
    controls->addWidget(cursorLabel);
    controls->addWidget(cursor_);
    layOutView(this, controls, plot_);

    connect(voltsChoice_, &QRadioButton::toggled, this, [this] {
        showAxis();
        plot_->replot();
    });
    connect(plot_, &QCustomPlot::mouseMove, this, &BlockView::readCursor);
    showAxis();
}

void BlockView::setBlock(std::span<const std::int32_t> codes) {
    QVector<QCPGraphData> points(qsizetype(codes.size()));
    for (std::size_t i = 0; i < codes.size(); ++i) {
        points[qsizetype(i)] = QCPGraphData(double(i + 1), codes[i]);
    }
    graph_->data()->set(points, true);
    const auto [low, high] = std::minmax_element(codes.begin(), codes.end());
    minimum_ = codes.empty() ? 0 : *low;
    maximum_ = codes.empty() ? 0 : *high;
    cursor_->clear();
    resetView();
}

void BlockView::clear() {
    setBlock({});
}

void BlockView::setScale(double voltsPerCode, VoltUnit unit) {
    voltsPerCode_ = voltsPerCode;
    volts_->setScale(voltsPerCode, unit);
    cursor_->clear();
}

void BlockView::resetView() {
    const double count = double(graph_->data()->size());
    plot_->xAxis->setRange(0.0, std::max(count, 1.0) + 1.0);
    const double margin = std::max(1.0, 0.05 * (double(maximum_) - double(minimum_)));
    plot_->yAxis->setRange(minimum_ - margin, maximum_ + margin);
}

void BlockView::showAxis() {
    const bool volts = voltsChoice_->isChecked();
    plot_->yAxis->setVisible(!volts);
    voltsAxis_->setVisible(volts);
}

void BlockView::readCursor(QMouseEvent* event) {
    const auto& data = *graph_->data();
    const QPointF at = event->position();
    const long number = std::lround(plot_->xAxis->pixelToCoord(at.x()));
    if (!plot_->axisRect()->rect().contains(at.toPoint()) || number < 1 || number > data.size()) {
        cursor_->clear();
        return;
    }
    const double code = data.at(int(number - 1))->value;
    cursor_->setText(QStringLiteral("Sample %1: code %2, %3")
                         .arg(number)
                         .arg(std::lround(code))
                         .arg(QString::fromStdString(voltsText(code * voltsPerCode_))));
}

}  // namespace orv
