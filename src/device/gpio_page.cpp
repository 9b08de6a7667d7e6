// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/gpio_page.h"

#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <tuple>

#include "controls/dialog_units.h"
#include "controls/value_label.h"
#include "converter/registers.h"
#include "device/page_controls.h"
#include "device/panel_data.h"

namespace orv {

namespace {

constexpr int kRowLabelX = 16;
constexpr int kLevelX = 40;
constexpr int kOutputX = 86;
constexpr int kInputX = 112;
constexpr int kInputLevelX = 140;
constexpr int kFirstRowY = 40;
constexpr int kRowStep = 20;
// Button identifiers within a pin's direction group.
enum Direction { kOutput = 0, kInput = 1 };

QString levelText(bool high) {
    return high ? QStringLiteral("H") : QStringLiteral("L");
}

}  // namespace

ZN410IODlg::ZN410IODlg(GpioPageData& data, QWidget* panel)
    : RegisterPage("Tahoma", QStringLiteral("GPIO"), panel), data_(data) {
    setObjectName(QStringLiteral("gpioPage"));
    buildRows();
}

void ZN410IODlg::buildRows() {
    const DialogUnits du(font());
    const auto heading = [&](const char* text, int x, int y, int width) {
        addLabel(this, text, du.rect(x, y, width, 8))->setAlignment(Qt::AlignCenter);
    };
    heading("Output", kLevelX, 12, 30);
    heading("I/O Mode", kOutputX - 4, 12, 50);
    heading("Output", kOutputX - 10, 24, 30);
    heading("Input", kInputX - 10, 24, 30);

    for (int pin = 0; pin < kPins; ++pin) {
        const int y = kFirstRowY + kRowStep * pin;
        const QString name = QStringLiteral("D%1").arg(kPins - 1 - pin);
        addLabel(this, qPrintable(name), du.rect(kRowLabelX, y + 3, 16, 8));

        auto* level = addButton(this, "L", qPrintable(QStringLiteral("level") + name),
                                du.rect(kLevelX, y, 30, 14));
        level->setCheckable(true);
        level->setAccessibleName(name + QStringLiteral(" Output level"));
        connect(level, &QPushButton::clicked, this, [this, pin] { OnLevelClicked(pin); });
        levels_[pin] = level;

        auto* group = new QButtonGroup(this);
        for (const auto& [direction, caption, x] :
             {std::tuple{kOutput, "Output", kOutputX}, std::tuple{kInput, "Input", kInputX}}) {
            auto* button = new QRadioButton(this);
            button->setObjectName(QString::fromLatin1(caption).toLower() + name);
            button->setAccessibleName(name + ' ' + QString::fromLatin1(caption));
            button->setGeometry(du.rect(x, y + 2, 12, 10));
            group->addButton(button, direction);
        }
        connect(group, &QButtonGroup::idClicked, this,
                [this, pin](int direction) { OnDirectionClicked(pin, direction == kInput); });
        directions_[pin] = group;

        auto* input = new ValueLabel(this);
        input->setValue(QStringLiteral("L"));
        input->setGeometry(du.rect(kInputLevelX, y + 1, 20, 12));
        input->setObjectName(QStringLiteral("inputLevel") + name);
        input->setAccessibleName(name + QStringLiteral(" Input level"));
        input->setAlignment(Qt::AlignCenter);
        input->setFrameStyle(QFrame::Box | QFrame::Plain);
        inputLevels_[pin] = input;
    }
}

void ZN410IODlg::OnLevelClicked(int pin) {
    const bool high = levels_[pin]->isChecked();
    data_.output = withBits(data_.output, field::kIoLevel[pin], high);
    levels_[pin]->setText(levelText(high));
}

void ZN410IODlg::OnDirectionClicked(int pin, bool input) {
    data_.output = withBits(data_.output, field::kIoDirection[pin], input);
}

void ZN410IODlg::Refresh() {
    for (int pin = 0; pin < kPins; ++pin) {
        const bool input = (data_.read & field::kIoDirection[pin]) != 0;
        directions_[pin]->button(input ? kInput : kOutput)->setChecked(true);
    }
    data_.output = data_.read;
    for (int pin = 0; pin < kPins; ++pin) {
        const bool high = (data_.read & field::kIoLevel[pin]) != 0;
        inputLevels_[pin]->setValue(levelText(high));
        levels_[pin]->setChecked(high);
        levels_[pin]->setText(levelText(high));
    }
}

}  // namespace orv
