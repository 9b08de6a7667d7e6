// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/version_title.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace orv {

std::string executableDisplayName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString();
}

}  // namespace orv
