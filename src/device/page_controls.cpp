// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/page_controls.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace orv {

QLabel* addLabel(QWidget* parent, const char* text, const QRect& geometry) {
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setGeometry(geometry);
    return label;
}

QPushButton* addButton(QWidget* parent, const char* text, const char* name, const QRect& geometry) {
    auto* button = new QPushButton(QString::fromLatin1(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    button->setGeometry(geometry);
    return button;
}

QComboBox* addList(QWidget* parent, const char* name, const QRect& geometry) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setGeometry(geometry.x(), geometry.y(), geometry.width(), list->sizeHint().height());
    return list;
}

QLineEdit* addReadOnlyField(QWidget* parent, const char* name, const QRect& geometry) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setReadOnly(true);
    field->setGeometry(geometry);
    return field;
}

}  // namespace orv
