// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/register_page.h"

#include <QFont>

namespace orv {

RegisterPage::RegisterPage(const char* fontFamily, const QString& name, QWidget* panel)
    : QWidget(panel) {
    setFont(QFont(QString::fromLatin1(fontFamily), 8));
    setAccessibleName(name);
}

}  // namespace orv
