// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <array>

#include "analysis/scale.h"
#include "characterise/noise_table.h"

class QCheckBox;
class QSpinBox;

namespace orv {

// What a noise table run measures: the gains (group "Gains", one check box
// each, "1" to "64"), the data rates (group "Data rates", "2.5 SPS" to
// "30000 SPS"), "Results per cell" and "Self calibration in each cell". It
// starts at the default plan. Each control is named for screen readers by
// its caption.
class SweepSelection final : public QWidget {
    Q_OBJECT
public:
    explicit SweepSelection(QWidget* parent = nullptr);

    // The plan of the controls: gains and rates in the order of their lists.
    // It may be one planError refuses (nothing selected).
    characterise::SweepPlan plan() const;
    // Checks what `plan` holds and nothing else.
    void setPlan(const characterise::SweepPlan& plan);

signals:
    // Any control changed, by the user or by setPlan.
    void changed();

private:
    std::array<QCheckBox*, characterise::kGains.size()> gains_{};
    std::array<QCheckBox*, analysis::kDataRates.size()> rates_{};
    QSpinBox* count_ = nullptr;
    QCheckBox* calibrate_ = nullptr;
};

}  // namespace orv
