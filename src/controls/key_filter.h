// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QWidget;

namespace orv {

// Swallows Enter and Escape key presses aimed at `window` or any widget in
// it, so that neither key closes a window or presses a button there. Pop-ups
// and boxes of their own (a combo box list, a message box) are other windows
// and keep both keys.
class EnterEscapeFilter final : public QObject {
    Q_OBJECT
public:
    explicit EnterEscapeFilter(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
};

}  // namespace orv
