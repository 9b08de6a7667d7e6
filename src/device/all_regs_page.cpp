// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/all_regs_page.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstdlib>

#include "controls/dialog_units.h"
#include "controls/tc_edit.h"
#include "device/panel_data.h"

namespace orv {

namespace {

constexpr int kFieldChars = 2;
constexpr int kLabelX = 24;
constexpr int kWriteX = 70;
constexpr int kReadX = 116;
constexpr int kFieldWidth = 30;
constexpr int kFirstRowY = 20;
constexpr int kRowStep = 14;

QString byteText(std::uint8_t value) {
    return QString::fromStdString(registerText(value));
}

}  // namespace

ZN410ALLDlg::ZN410ALLDlg(AllRegsPageData& data, QWidget* panel)
    : RegisterPage("MS Shell Dlg", QStringLiteral("All Regs"), panel), data_(data) {
    setObjectName(QStringLiteral("allRegsPage"));
    buildRows();
}

void ZN410ALLDlg::buildRows() {
    const DialogUnits du(font());
    const auto heading = [&](const char* text, int x) {
        auto* label = new QLabel(QString::fromLatin1(text), this);
        label->setAlignment(Qt::AlignCenter);
        label->setGeometry(du.rect(x, 6, kFieldWidth, 8));
    };
    heading("Write", kWriteX);
    heading("Read", kReadX);

    for (int a = 0; a < kRegisterCount; ++a) {
        const QString name = QString::fromLatin1(kRegisterNames[a]);
        const int y = kFirstRowY + kRowStep * a;
        auto* label = new QLabel(name, this);
        label->setGeometry(du.rect(kLabelX, y + 2, 40, 8));

        auto* write = new CTCEdit(this);
        write->setObjectName(QStringLiteral("write") + name);
        write->setAccessibleName(name + QStringLiteral(" Write"));
        write->setAlignment(Qt::AlignCenter);
        write->setUpperCase(true);
        write->setMaxLength(kFieldChars);
        write->setText(QStringLiteral("00"));
        write->setGeometry(du.rect(kWriteX, y, kFieldWidth, 12));
        label->setBuddy(write);
        writeFields_[a] = write;

        auto* read = new QLineEdit(this);
        read->setObjectName(QStringLiteral("read") + name);
        read->setAccessibleName(name + QStringLiteral(" Read"));
        read->setAlignment(Qt::AlignCenter);
        read->setReadOnly(true);
        read->setGeometry(du.rect(kReadX, y, kFieldWidth, 12));
        readFields_[a] = read;
    }

    auto* sync = new QPushButton(QStringLiteral("Sync"), this);
    sync->setObjectName(QStringLiteral("syncButton"));
    sync->setAutoDefault(false);
    sync->setGeometry(du.rect(kWriteX, kFirstRowY + kRowStep * kRegisterCount + 6,
                              kReadX + kFieldWidth - kWriteX, 14));
    connect(sync, &QPushButton::clicked, this, &ZN410ALLDlg::OnSync);
}

// An empty Read field (no Read since the window was built) leaves its Write
// field as it is.
void ZN410ALLDlg::OnSync() {
    for (int a = 0; a < kRegisterCount; ++a) {
        const QString text = readFields_[a]->text().left(kFieldChars);
        if (!text.isEmpty()) {
            writeFields_[a]->setText(text);
        }
    }
}

void ZN410ALLDlg::showReadField(int address, std::uint8_t value) {
    readFields_[address]->setText(byteText(value));
}

void ZN410ALLDlg::showReadValues() {
    for (int a = 0; a < kRegisterCount; ++a) {
        showReadField(a, data_.readValues[a]);
    }
}

void ZN410ALLDlg::showWriteValues() {
    for (int a = 0; a < kRegisterCount; ++a) {
        writeFields_[a]->setText(byteText(data_.writeValues[a]));
    }
}

std::uint8_t ZN410ALLDlg::writeFieldValue(int address) const {
    const std::string text = writeFields_[address]->text().left(kFieldChars).toStdString();
    return static_cast<std::uint8_t>(std::strtoul(text.c_str(), nullptr, 16));
}

}  // namespace orv
