// SPDX-License-Identifier: GPL-3.0-or-later
#include "characterise_view/sweep_selection.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QSpinBox>
#include <algorithm>

namespace orv {

namespace {

using characterise::kGains;
using characterise::SweepPlan;

// The rates sit in rows of four, slowest first, as the list runs.
constexpr int kRatesPerRow = 4;

QCheckBox* namedBox(const QString& caption, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setAccessibleName(caption);
    return box;
}

template <class List, class Value>
bool holds(const List& list, Value value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

}  // namespace

SweepSelection::SweepSelection(QWidget* parent) : QWidget(parent) {
    auto* gainGroup = new QGroupBox(QStringLiteral("Gains"), this);
    gainGroup->setAccessibleName(gainGroup->title());
    auto* gainRow = new QHBoxLayout(gainGroup);
    for (std::size_t i = 0; i < kGains.size(); ++i) {
        gains_[i] = namedBox(QString::number(kGains[i]), gainGroup);
        gainRow->addWidget(gains_[i]);
    }
    gainRow->addStretch();

    auto* rateGroup = new QGroupBox(QStringLiteral("Data rates"), this);
    rateGroup->setAccessibleName(rateGroup->title());
    auto* rateGrid = new QGridLayout(rateGroup);
    for (std::size_t i = 0; i < analysis::kDataRates.size(); ++i) {
        const double rate = analysis::kDataRates[i].samplesPerSecond;
        rates_[i] = namedBox(QString::number(rate) + QStringLiteral(" SPS"), rateGroup);
        rateGrid->addWidget(rates_[i], int(i) / kRatesPerRow, int(i) % kRatesPerRow);
    }

    count_ = new QSpinBox(this);
    count_->setRange(characterise::kLeastSweepCount, characterise::kMostSweepCount);
    count_->setAccessibleName(QStringLiteral("Results per cell"));
    calibrate_ = namedBox(QStringLiteral("Self calibration in each cell"), this);

    // The gains over the count and the calibration, the rates beside them.
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->addRow(count_->accessibleName(), count_);
    form->addRow(calibrate_);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(gainGroup, 0, 0);
    layout->addLayout(form, 1, 0);
    layout->addWidget(rateGroup, 0, 1, 2, 1);
    layout->setRowStretch(1, 1);

    setPlan(characterise::defaultSweepPlan());
    for (QCheckBox* box : gains_) {
        connect(box, &QCheckBox::toggled, this, &SweepSelection::changed);
    }
    for (QCheckBox* box : rates_) {
        connect(box, &QCheckBox::toggled, this, &SweepSelection::changed);
    }
    connect(count_, &QSpinBox::valueChanged, this, &SweepSelection::changed);
    connect(calibrate_, &QCheckBox::toggled, this, &SweepSelection::changed);
}

SweepPlan SweepSelection::plan() const {
    SweepPlan plan;
    for (std::size_t i = 0; i < kGains.size(); ++i) {
        if (gains_[i]->isChecked()) {
            plan.gains.push_back(kGains[i]);
        }
    }
    for (std::size_t i = 0; i < analysis::kDataRates.size(); ++i) {
        if (rates_[i]->isChecked()) {
            plan.rates.push_back(analysis::kDataRates[i].samplesPerSecond);
        }
    }
    plan.count = count_->value();
    plan.calibrate = calibrate_->isChecked();
    return plan;
}

// One change signal for the whole plan, not one per box.
void SweepSelection::setPlan(const SweepPlan& plan) {
    {
        const QSignalBlocker blocker(this);
        for (std::size_t i = 0; i < kGains.size(); ++i) {
            gains_[i]->setChecked(holds(plan.gains, kGains[i]));
        }
        for (std::size_t i = 0; i < analysis::kDataRates.size(); ++i) {
            rates_[i]->setChecked(holds(plan.rates, analysis::kDataRates[i].samplesPerSecond));
        }
        count_->setValue(plan.count);
        calibrate_->setChecked(plan.calibrate);
    }
    emit changed();
}

}  // namespace orv
