// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QGroupBox>
#include <array>

#include "analysis/figures.h"

class QLineEdit;

namespace orv {

// "Figures": one read-only field per figure, labelled, and named for
// screen readers by the figure's name ("ENOB", though its label says
// "ENOB (from SINAD)", the name datasheets also use). A read-only field
// gives its text as its value.
class FiguresBox final : public QGroupBox {
    Q_OBJECT
public:
    static constexpr std::size_t kFigures = analysis::kFigureEntries.size();

    explicit FiguresBox(QWidget* parent = nullptr);

    void showTexts(const analysis::FigureTexts& texts);
    void clear();

private:
    std::array<QLineEdit*, kFigures> fields_{};
};

}  // namespace orv
