// SPDX-License-Identifier: GPL-3.0-or-later
// The panel's chart: statistics, drawing, scrolling and the colour swatches.

#include <QLineEdit>
#include <QLoggingCategory>
#include <QScrollBar>

#include "acquire/chart_image.h"
#include "acquire/chart_view.h"
#include "acquire/swatch.h"
#include "device/panel.h"
#include "device/panel_data.h"
#include "seams/prompts.h"

namespace orv {

namespace {

// The first sample shown after each scroll, for whoever listens
// (QT_LOGGING_RULES="orvellin.chart.debug=true").
Q_LOGGING_CATEGORY(chartLog, "orvellin.chart", QtInfoMsg)

std::optional<ScrollRequest> requestOf(int action) {
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            return ScrollRequest::LineLeft;
        case QAbstractSlider::SliderSingleStepAdd:
            return ScrollRequest::LineRight;
        case QAbstractSlider::SliderPageStepSub:
            return ScrollRequest::PageLeft;
        case QAbstractSlider::SliderPageStepAdd:
            return ScrollRequest::PageRight;
        case QAbstractSlider::SliderToMinimum:
            return ScrollRequest::LeftEnd;
        case QAbstractSlider::SliderToMaximum:
            return ScrollRequest::RightEnd;
        case QAbstractSlider::SliderMove:
            return ScrollRequest::ThumbTrack;
        default:
            return std::nullopt;
    }
}

}  // namespace

void ZN410Dlg::connectChart() {
    chart_->setOnExpose([this] { return chartPicture(0); });
    // Qt has moved the thumb by the time it reports the action; the handler
    // puts it where the chart's own rule says. Qt reports no end of
    // scrolling, which draws the chart again from where the thumb stopped:
    // every action ends with it, so the chart never shows a first sample the
    // thumb cannot reach.
    connect(scrollBar_, &QScrollBar::actionTriggered, this, [this](int action) {
        if (const auto request = requestOf(action)) {
            OnHScroll(*request);
            OnHScroll(ScrollRequest::EndScroll);
        }
    });
    for (int i = 0; i < static_cast<int>(swatches_.size()); ++i) {
        connect(swatches_[i], &Swatch::clicked, this, [this, i] { OnSwatchClicked(i); });
    }
    setScrollInfo(scroll_);
}

void ZN410Dlg::AnalyseSamples() {
    data_.chart = orv::AnalyseSamples(data_.samples);
    minimum_->setText(QString::number(data_.chart.minimum));
    maximum_->setText(QString::number(data_.chart.maximum));
    average_->setText(QString::number(data_.chart.average));
}

QImage ZN410Dlg::chartPicture(int first) {
    return renderChart(data_.chart, data_.samples, first, colours_, chart_->pictureSize(),
                       chart_->font());
}

void ZN410Dlg::DrawChart(int first) {
    chart_->showPicture(chartPicture(first));
}

// The bar's range runs from minimum to maximum inclusive, and its thumb
// stops at maximum - page + 1; a Qt scroll bar counts thumb positions.
void ZN410Dlg::setScrollInfo(const ScrollInfo& info) {
    scroll_ = info;
    scroll_.page = effectivePage(info);
    scroll_.position = thumbPosition(scroll_, info.position);
    const QSignalBlocker quiet(scrollBar_);
    scrollBar_->setRange(scroll_.minimum, thumbPosition(scroll_, scroll_.maximum));
    scrollBar_->setPageStep(std::max(scroll_.page, 1));
    scrollBar_->setValue(scroll_.position);
}

void ZN410Dlg::OnHScroll(ScrollRequest request) {
    scroll_.trackPosition = scrollBar_->sliderPosition();
    const int index = scrolledIndex(request, scroll_);
    scroll_.position = thumbPosition(scroll_, index);
    scrollBar_->setSliderPosition(scroll_.position);
    if (index >= 0) {
        DrawChart(index);
        qCDebug(chartLog, "%d", index);
    }
}

// The new colour shows on its swatch now and on the chart at its next
// drawing.
void ZN410Dlg::OnSwatchClicked(int index) {
    std::array<std::uint32_t*, 4> colours{&colours_.scale, &colours_.grid, &colours_.line,
                                          &colours_.background};
    if (const auto chosen = prompts_.chooseColour(this, *colours[index])) {
        *colours[index] = *chosen;
        swatches_[index]->repaint();
    }
}

}  // namespace orv
