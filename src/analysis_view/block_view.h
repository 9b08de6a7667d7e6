// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <cstdint>
#include <span>

#include "analysis_view/volt_text.h"

class QCPAxis;
class QCPGraph;
class QCustomPlot;
class QLineEdit;
class QMouseEvent;
class QRadioButton;

namespace orv {

class VoltsAxis;

// The whole block as a line over its sample numbers (1 to N, as the panel's
// chart numbers them), zoomed with the wheel and moved by dragging; "Reset
// View" shows the whole block again. The vertical axis reads codes or
// volts; "Cursor" reads the sample under the mouse: its number, code and
// volts.
class BlockView final : public QWidget {
    Q_OBJECT
public:
    explicit BlockView(QWidget* parent = nullptr);

    QCustomPlot* plot() const { return plot_; }

    // Plots `codes` and shows all of them. Replotting is the caller's.
    void setBlock(std::span<const std::int32_t> codes);
    void clear();
    // Relabels the volts axis and the cursor; the plotted codes stay.
    void setScale(double voltsPerCode, VoltUnit unit);

private:
    void resetView();
    void showAxis();
    void readCursor(QMouseEvent* event);

    QCustomPlot* plot_;
    QCPGraph* graph_;
    QCPAxis* voltsAxis_;
    VoltsAxis* volts_;
    QRadioButton* codesChoice_;
    QRadioButton* voltsChoice_;
    QLineEdit* cursor_;
    double voltsPerCode_ = 0.0;
    std::int32_t minimum_ = 0;
    std::int32_t maximum_ = 0;
};

}  // namespace orv
