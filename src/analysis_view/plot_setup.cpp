// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_view/plot_setup.h"

#include <qcustomplot.h>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace orv {

namespace {

class WholeNumberTicker final : public QCPAxisTicker {
protected:
    double getTickStep(const QCPRange& range) override {
        return std::max(1.0, QCPAxisTicker::getTickStep(range));
    }
};

}  // namespace

QCustomPlot* newPlot(QWidget* parent, const QString& accessibleName) {
    auto* plot = new QCustomPlot(parent);
    plot->setAccessibleName(accessibleName);
    plot->setLocale(QLocale::c());
    plot->setNotAntialiasedElements(QCP::aePlottables);
    plot->setMinimumSize(320, 240);
    return plot;
}

QPushButton* newResetButton(QWidget* view, QCustomPlot* plot, const QString& objectName,
                            std::function<void()> reset) {
    auto* button = new QPushButton(QStringLiteral("Reset View"), view);
    button->setObjectName(objectName);
    QObject::connect(button, &QPushButton::clicked, plot, [plot, reset = std::move(reset)] {
        reset();
        plot->replot();
    });
    return button;
}

void layOutView(QWidget* view, QLayout* controls, QCustomPlot* plot) {
    auto* layout = new QVBoxLayout(view);
    layout->addLayout(controls);
    layout->addWidget(plot, 1);
}

void useWholeNumberTicks(QCPAxis* axis) {
    axis->setTicker(QSharedPointer<QCPAxisTicker>(new WholeNumberTicker));
    axis->setNumberFormat(QStringLiteral("f"));
    axis->setNumberPrecision(0);
}

VoltsAxis::VoltsAxis(QCPAxis* codes, QCPAxis* volts, const QString& title)
    : QObject(volts), codes_(codes), volts_(volts), title_(title) {
    volts_->setNumberFormat(QStringLiteral("g"));
    volts_->setNumberPrecision(9);
    connect(codes_, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, &VoltsAxis::follow);
    setScale(1.0, VoltUnit{});
}

void VoltsAxis::setScale(double voltsPerCode, VoltUnit unit) {
    unitsPerCode_ = voltsPerCode * unit.perVolt;
    volts_->setLabel(title_ + QStringLiteral(" (") + QString::fromUtf8(unit.name) +
                     QStringLiteral(")"));
    follow();
}

void VoltsAxis::follow() {
    const QCPRange range = codes_->range();
    volts_->setRange(range.lower * unitsPerCode_, range.upper * unitsPerCode_);
}

}  // namespace orv
