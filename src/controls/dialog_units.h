// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

class QFont;

namespace orv {

// Converts dialog-template units into pixels for a font: x by the font's
// average character width / 4, y by its height / 8.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int x(int units) const;
    int y(int units) const;
    QRect rect(int x, int y, int width, int height) const;

    int baseWidth() const { return baseWidth_; }
    int baseHeight() const { return baseHeight_; }

private:
    int baseWidth_;
    int baseHeight_;
};

}  // namespace orv
