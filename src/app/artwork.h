// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace orv {

// The window icon and the 757 x 54 logo strip, drawn in code.
QIcon applicationIcon();
QPixmap logoPixmap();

// The icon's picture drawn at size x size pixels on a transparent ground, the
// same drawing at every size; the window icon is its 64-pixel rendering.
QImage applicationIconImage(int size);

}  // namespace orv
