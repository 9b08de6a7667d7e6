// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/key_filter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace orv {

EnterEscapeFilter::EnterEscapeFilter(QWidget* window) : QObject(window), window_(window) {
    qApp->installEventFilter(this);
}

bool EnterEscapeFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) {
        return false;
    }
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Escape) {
        return false;
    }
    return static_cast<QWidget*>(watched)->window() == window_;
}

}  // namespace orv
