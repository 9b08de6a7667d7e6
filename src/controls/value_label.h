// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

namespace orv {

// A label that shows a value (a port name, a clock source, an input level).
// Assistive technology reads it as it reads a read-only line edit: role
// editable text marked read-only, named by its accessible name or by the
// label whose buddy it is, with the shown text as its value and as its text.
class ValueLabel final : public QLabel {
    Q_OBJECT
public:
    explicit ValueLabel(QWidget* parent = nullptr);

    // Shows `value` and tells assistive technology that the text changed.
    void setValue(const QString& value);
};

}  // namespace orv
