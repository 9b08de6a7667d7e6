// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquire/swatch.h"

#include <QMouseEvent>
#include <QPainter>

#include "controls/colour_ref.h"

namespace orv {

Swatch::Swatch(const std::uint32_t& colour, QWidget* parent) : QFrame(parent), colour_(colour) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

void Swatch::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.fillRect(contentsRect().adjusted(1, 1, -1, -1), fromColourRef(colour_));
}

void Swatch::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit clicked();
    }
    QFrame::mousePressEvent(event);
}

}  // namespace orv
