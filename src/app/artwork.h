// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QPixmap>

namespace orv {

// The window icon and the 757 x 54 logo strip, drawn in code.
QIcon applicationIcon();
QPixmap logoPixmap();

}  // namespace orv
