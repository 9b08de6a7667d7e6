// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/about_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "app/artwork.h"
#include "app/version_info.h"
#include "controls/dialog_units.h"

namespace orv {

namespace {

constexpr int kWidthUnits = 213;
constexpr int kHeightUnits = 85;

// The version line is held in a buffer one character shorter than the
// tool's other texts.
constexpr std::size_t kVersionBuffer = 259;

QLabel* addLabel(QWidget* parent, const std::string& text, const QString& objectName,
                 const QString& accessibleName, const QRect& geometry) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(QString::fromStdString(text));
    label->setObjectName(objectName);
    label->setAccessibleName(accessibleName);
    label->setGeometry(geometry);
    return label;
}

}  // namespace

CAboutDlg::CAboutDlg(const VersionInfo& info, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(QStringLiteral("About Orvellin"));
    setFont(QFont(QStringLiteral("MS Shell Dlg"), 8));
    const DialogUnits du(font());
    setFixedSize(du.x(kWidthUnits), du.y(kHeightUnits));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("iconLabel"));
    icon->setAccessibleName(QStringLiteral("Orvellin icon"));
    const QRect iconRect = du.rect(14, 14, 20, 20);
    icon->setPixmap(applicationIcon().pixmap(iconRect.size()));
    icon->setGeometry(iconRect);

    addLabel(this, printfFitted(kVersionBuffer, "AP Version : %s", info.productVersion.c_str()),
             QStringLiteral("versionLine"), QStringLiteral("Version"), du.rect(42, 14, 159, 8));
    addLabel(this, printfText("Copyright (C) 2026 %s", info.companyName.c_str()),
             QStringLiteral("noticeLine"), QStringLiteral("Notice"), du.rect(42, 38, 161, 8));
    const std::string rights = "All rights reserved.";
    addLabel(this, rights, QStringLiteral("rightsLine"), QString::fromStdString(rights),
             du.rect(42, 50, 62, 8));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setAccessibleName(ok->text());
    ok->setGeometry(du.rect(82, 64, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace orv
