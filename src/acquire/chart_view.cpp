// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquire/chart_view.h"

#include <QPainter>

namespace orv {

namespace {

constexpr int kNumberPixels = 9;

}  // namespace

ChartView::ChartView(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    // Seven digits fit the 40-pixel boxes of the value numbers.
    QFont numbers = font();
    numbers.setPixelSize(kNumberPixels);
    setFont(numbers);
    // Every paint covers the whole area with the picture.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChartView::showPicture(QImage picture) {
    picture_ = std::move(picture);
    // The paint is synchronous; a window not on screen now paints later for
    // a reason of its own.
    fresh_ = true;
    repaint();
    fresh_ = false;
}

void ChartView::paintEvent(QPaintEvent* event) {
    if (!fresh_ && onExpose_) {
        picture_ = onExpose_();
    }
    QPainter painter(this);
    painter.drawImage(contentsRect().topLeft(), picture_);
    painter.end();
    QFrame::paintEvent(event);
}

}  // namespace orv
