// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace orv {

// The controls the panel and its pages are built from, placed at pixel
// geometries the caller computed from dialog units. Buttons never become
// the default button, so Enter presses none of them.

QLabel* addLabel(QWidget* parent, const char* text, const QRect& geometry);
QPushButton* addButton(QWidget* parent, const char* text, const char* name, const QRect& geometry);
// A drop-down list as high as its style wants it.
QComboBox* addList(QWidget* parent, const char* name, const QRect& geometry);
QLineEdit* addReadOnlyField(QWidget* parent, const char* name, const QRect& geometry);

// A control with the label beside it: the label names it for screen readers.
template <class Control>
Control* labelled(Control* control, QLabel* label);

}  // namespace orv

#include <QLabel>

namespace orv {

template <class Control>
Control* labelled(Control* control, QLabel* label) {
    label->setBuddy(control);
    control->setAccessibleName(label->text());
    return control;
}

}  // namespace orv
