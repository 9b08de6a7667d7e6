// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTableWidget>
#include <span>

#include "characterise/noise_table.h"
#include "characterise/table_text.h"

namespace orv {

// The noise table as a datasheet shows it: a row for each data rate
// ("10 SPS"), a column for each gain ("Gain 8"), in the plan's order, each
// cell the figure chosen, shaded by its value among the cells shown
// (cell_shade.h). A cell not measured is empty and white. Cells are read
// only; each carries its text as its accessible text, and its gain and rate
// as its accessible description.
class NoiseGrid final : public QTableWidget {
    Q_OBJECT
public:
    explicit NoiseGrid(QWidget* parent = nullptr);

    // Empties the table and gives it the rows and columns of `plan`.
    void setShape(const characterise::SweepPlan& plan);
    // Shows `figure` of each of `cells` in its place; cells outside the
    // shape are left out, places without a cell emptied.
    void showCells(std::span<const characterise::NoiseCell> cells,
                   characterise::TableFigure figure);

    QSize sizeHint() const override;

private:
    characterise::SweepPlan shape_;
};

}  // namespace orv
