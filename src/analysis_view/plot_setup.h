// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "analysis_view/volt_text.h"

class QCPAxis;
class QCustomPlot;
class QLayout;
class QPushButton;
class QWidget;

namespace orv {

// A plot as every view of the Analysis window sets it up: tick labels in
// the C locale (a point for the decimals under any locale), no
// antialiasing of the plottables (a block holds up to 65535 points), named
// for screen readers.
QCustomPlot* newPlot(QWidget* parent, const QString& accessibleName);

// The "Reset View" button every view has, named `objectName`: it runs
// `reset`, then replots `plot`.
QPushButton* newResetButton(QWidget* view, QCustomPlot* plot, const QString& objectName,
                            std::function<void()> reset);

// Lays a view out as every view is: the row of `controls` over `plot`,
// which takes the room left.
void layOutView(QWidget* view, QLayout* controls, QCustomPlot* plot);

// Labels ticks at whole numbers only (sample numbers, codes, counts), so
// that a deep zoom never labels two ticks alike.
void useWholeNumberTicks(QCPAxis* axis);

// Keeps `volts` showing the range of `codes` in volts, in a unit chosen
// for the block: zooming and dragging the codes axis moves it too, and a
// new scale relabels it without touching the plotted data.
class VoltsAxis final : public QObject {
    Q_OBJECT
public:
    VoltsAxis(QCPAxis* codes, QCPAxis* volts, const QString& title);

    void setScale(double voltsPerCode, VoltUnit unit);

private:
    void follow();

    QCPAxis* codes_;
    QCPAxis* volts_;
    QString title_;
    double unitsPerCode_ = 1.0;
};

}  // namespace orv
