// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>
#include <cstdint>

namespace orv {

// A small sunken box filled with one of the chart's colours, leaving a
// one-pixel border inside its edge unpainted; a click on it is reported.
class Swatch final : public QFrame {
    Q_OBJECT
public:
    Swatch(const std::uint32_t& colour, QWidget* parent);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    const std::uint32_t& colour_;  // 0x00BBGGRR
};

}  // namespace orv
