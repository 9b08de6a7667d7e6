// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/block_analysis.h"

#include <QWidget>
#include <cstdio>

#include "analysis/scale.h"
#include "analysis_view/analysis_window.h"
#include "device/panel_data.h"

namespace orv {

QString collectedText(const LocalTime& started) {
    char text[48];
    std::snprintf(text, sizeof text, "Collected %04d-%02d-%02d %02d:%02d:%02d", started.year,
                  started.month, started.day, started.hour, started.minute, started.second);
    return QString::fromLatin1(text);
}

BlockAnalysis::BlockAnalysis(const PanelData& data, Prompts& prompts, QWidget* owner)
    : data_(data), prompts_(prompts), owner_(owner) {}

void BlockAnalysis::open() {
    if (!window_) {
        window_ = new AnalysisWindow(prompts_, owner_);
        window_->setWindowFlag(Qt::Window);
        window_->setObjectName(QStringLiteral("analysisWindow"));
        shownNumber_ = 0;
    }
    if (shownNumber_ != blockNumber_ + 1) {
        showChartBlock();
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
}

AnalysisWindow* BlockAnalysis::window() const {
    return window_;
}

void BlockAnalysis::follow() {
    ++blockNumber_;
    if (window_ && window_->isVisible()) {
        showChartBlock();
    }
}

void BlockAnalysis::showChartBlock() {
    shownNumber_ = blockNumber_ + 1;
    if (data_.samples.empty()) {
        window_->clearBlock();
        return;
    }
    const analysis::Scale scale =
        analysis::scaleOf(data_.sampleImage[ADCON], data_.sampleImage[DRATE]);
    window_->showBlock(data_.samples, scale, collectedText(data_.sampleStarted));
}

}  // namespace orv
