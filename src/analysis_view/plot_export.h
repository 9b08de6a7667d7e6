// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QCustomPlot;

namespace orv {

// Saves `plot` as it is shown, at its size on screen, in the format the
// extension of `path` names (any case): ".png", ".svg" or ".pdf". False if
// the extension is none of these or the file cannot be written.
bool savePlot(QCustomPlot& plot, const QString& path);

}  // namespace orv
