// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/dialog_units.h"

#include <QFont>
#include <QFontMetrics>

namespace orv {

namespace {

// The average width is taken over the 52 letters and rounded, as dialog
// templates measure it.
int averageCharWidth(const QFontMetrics& metrics) {
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return (letters / 26 + 1) / 2;
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    baseWidth_ = averageCharWidth(metrics);
    baseHeight_ = metrics.height();
}

int DialogUnits::x(int units) const {
    return units * baseWidth_ / 4;
}

int DialogUnits::y(int units) const {
    return units * baseHeight_ / 8;
}

QRect DialogUnits::rect(int x, int y, int width, int height) const {
    return {this->x(x), this->y(y), this->x(width), this->y(height)};
}

}  // namespace orv
