// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

namespace orv {

// Keeps a control disabled for as long as its operation runs; a control
// that went away meanwhile is left alone.
class DisabledWhile {
public:
    explicit DisabledWhile(QWidget* widget) : widget_(widget) { widget_->setEnabled(false); }
    ~DisabledWhile() {
        if (widget_) {
            widget_->setEnabled(true);
        }
    }
    DisabledWhile(const DisabledWhile&) = delete;
    DisabledWhile& operator=(const DisabledWhile&) = delete;

private:
    QPointer<QWidget> widget_;
};

}  // namespace orv
