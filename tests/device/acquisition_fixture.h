// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QTimer>
#include <functional>
#include <vector>

#include "acquire/chart_image.h"
#include "acquire/chart_view.h"
#include "device/panel_data.h"
#include "panel_fixture.h"

namespace orv::test {

// The panel after the opening Read, the EVM's log cleared, the progress
// bar's positions recorded.
struct AcquisitionFixture : PanelFixture {
    AcquisitionFixture() {
        detect();
        evm.clearFrames();
        QObject::connect(progress(), &QProgressBar::valueChanged,
                         [this](int value) { positions.push_back(value); });
    }
    QProgressBar* progress() { return control<QProgressBar>("progress"); }
    QScrollBar* scrollBar() { return control<QScrollBar>("scrollBar"); }
    ChartView* chart() { return control<ChartView>("chartArea"); }
    QString field(const char* name) { return control<QLineEdit>(name)->text(); }

    // Types nothing: the text arrives as a paste or a profile would put it.
    void collect(const QString& count) {
        dataCount()->setText(count);
        click("startButton");
    }
    // Runs `action` while the next collection lets the user interface run.
    void during(std::function<void()> action) {
        QTimer::singleShot(0, panel(), [this, action] {
            duringCollection = panel()->collecting();
            action();
        });
    }
    // The chart as it would be drawn from sample `first` now.
    QImage expectedChart(int first) {
        ChartState state = data().chart;
        return renderChart(state, data().samples, first, panel()->colours(), chart()->pictureSize(),
                           chart()->font());
    }

    std::vector<int> positions;
    bool duringCollection = false;
};

}  // namespace orv::test
