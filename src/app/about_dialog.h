// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

namespace orv {

struct VersionInfo;

// The About box: the icon, the product version, the copyright notice with
// the company name, and OK. Enter and OK accept it, Escape rejects it.
class CAboutDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(const VersionInfo& info, QWidget* parent = nullptr);
};

}  // namespace orv
