// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStringList>
#include <QTableWidget>
#include <QTest>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "characterise/noise_table.h"
#include "characterise/table_text.h"
#include "characterise_view/noise_table_window.h"
#include "controls/value_label.h"
#include "link/detect.h"
#include "link/link.h"
#include "recording_prompts.h"
#include "sim/sim_bus.h"

namespace orv::test {

inline const std::string kPort = "/dev/ttyS0";
inline constexpr int kEvmType = 1;

// The simulated EVM with 0 V on AIN0: the power-on MUX reads a shorted
// input, noise and offset only.
inline sim::EvmConfig shortedInput() {
    return sim::EvmConfig{.toneHz = 0.0};
}

// gains 1 and 64 at 1000 and 30000 SPS, 32 results a cell, calibrating:
// four cells, in the order 1/1000, 64/1000, 1/30000, 64/30000.
inline characterise::SweepPlan smallPlan() {
    characterise::SweepPlan plan;
    plan.gains = {1, 64};
    plan.rates = {1000.0, 30000.0};
    plan.count = 32;
    plan.calibrate = true;
    return plan;
}

class QuietSweep final : public characterise::SweepView {
public:
    void cellStarted(std::size_t, std::size_t, double) override {}
    void showProgress(int) override {}
    bool keepGoing() override { return true; }
    void cellMeasured(const characterise::NoiseCell&) override {}
};

// What the core measures for `plan` on a twin of the fixture's EVM with the
// same history (detected, then the run): the simulator is deterministic, so
// the window's cells must be these.
inline characterise::SweepOutcome coreOutcome(const characterise::SweepPlan& plan) {
    ManualClock clock;
    sim::SimBus bus(clock);
    bus.addEvm(kPort, shortedInput());
    RecordingPrompts prompts;
    Link link({kPort}, bus.factory(), clock);
    DetectEvm(link, prompts, kEvmType);
    QuietSweep view;
    return characterise::runNoiseTable(link, prompts, nullptr, plan, view);
}

// The Noise Table window over a detected simulated EVM, its log cleared,
// with recorded prompts and a busy flag of its own; controls found as a
// screen reader finds them, by accessible name.
struct NoiseTableFixture {
    explicit NoiseTableFixture(bool detect = true) {
        if (detect) {
            DetectEvm(link, prompts, kEvmType);
        }
        evm.clearFrames();
    }
    ~NoiseTableFixture() { delete window; }

    template <class Control = QWidget>
    Control* named(const QString& name) {
        for (Control* control : window->findChildren<Control*>()) {
            if (control->accessibleName() == name) {
                return control;
            }
        }
        return nullptr;
    }
    void press(const QString& caption) {
        QTest::mouseClick(named<QPushButton>(caption), Qt::LeftButton);
    }
    QString value(const QString& name) { return named<ValueLabel>(name)->text(); }
    QString status() { return value(QStringLiteral("Status")); }
    QTableWidget* table() { return named<QTableWidget>(QStringLiteral("Noise table")); }

    // Sets the controls to `plan`, box by box.
    void select(const characterise::SweepPlan& plan) {
        for (const int gain : characterise::kGains) {
            named<QCheckBox>(QString::number(gain))
                ->setChecked(std::find(plan.gains.begin(), plan.gains.end(), gain) !=
                             plan.gains.end());
        }
        for (const analysis::DataRate& rate : analysis::kDataRates) {
            const double sps = rate.samplesPerSecond;
            named<QCheckBox>(QString::number(sps) + QStringLiteral(" SPS"))
                ->setChecked(std::find(plan.rates.begin(), plan.rates.end(), sps) !=
                             plan.rates.end());
        }
        named<QSpinBox>(QStringLiteral("Results per cell"))->setValue(plan.count);
        named<QCheckBox>(QStringLiteral("Self calibration in each cell"))
            ->setChecked(plan.calibrate);
    }
    void run(const characterise::SweepPlan& plan) {
        select(plan);
        press(QStringLiteral("Start"));
    }
    void show(characterise::TableFigure figure) {
        QComboBox* list = named<QComboBox>(QStringLiteral("Show"));
        list->setCurrentIndex(
            list->findText(QString::fromStdString(characterise::figureName(figure))));
    }
    // The table's texts, row by row.
    QStringList texts() {
        QStringList all;
        for (int row = 0; row < table()->rowCount(); ++row) {
            for (int column = 0; column < table()->columnCount(); ++column) {
                all << table()->item(row, column)->text();
            }
        }
        return all;
    }
    // What the table should show of `cells` for `plan`, row by row.
    static QStringList textsOf(const characterise::SweepPlan& plan,
                               const std::vector<characterise::NoiseCell>& cells,
                               characterise::TableFigure figure) {
        QStringList all;
        for (const double rate : plan.rates) {
            for (const int gain : plan.gains) {
                const characterise::NoiseCell* cell = characterise::findCell(cells, gain, rate);
                all << (cell ? QString::fromStdString(characterise::figureText(*cell, figure))
                             : QString());
            }
        }
        return all;
    }
    // Runs `action` once, the first time the progress bar moves while the
    // run label reads `cellText` ("Cell 2 of 4").
    void whenCell(const QString& cellText, std::function<void()> action) {
        QObject::connect(
            named<QProgressBar>(QStringLiteral("Cell progress")), &QProgressBar::valueChanged,
            window, [this, cellText, action, done = false](int) mutable {
                if (!done && value(QStringLiteral("Run progress")).startsWith(cellText)) {
                    done = true;
                    action();
                }
            });
    }

    ManualClock clock;
    sim::SimBus bus{clock};
    sim::EvmModel& evm = bus.addEvm(kPort, shortedInput());
    RecordingPrompts prompts;
    Link link{{kPort}, bus.factory(), clock};
    int busy = 0;
    QPointer<NoiseTableWindow> window = new NoiseTableWindow(link, prompts, busy);
};

}  // namespace orv::test
