// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace orv {

// One page of the panel's tab control. The panel creates every page with its
// window, places it and shows one at a time; a page's values live in the
// panel's data, so the page itself holds only its controls.
class RegisterPage : public QWidget {
    Q_OBJECT
public:
    // `fontFamily` is the page template's font, at 8 points; `name` is the
    // page's tab text, given as its accessible name.
    RegisterPage(const char* fontFamily, const QString& name, QWidget* panel);
};

}  // namespace orv
