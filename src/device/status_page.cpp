// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/status_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include "controls/dialog_units.h"
#include "device/page_controls.h"
#include "device/panel_data.h"
#include "link/printf.h"

namespace orv {

ZN410STATUSDlg::ZN410STATUSDlg(StatusPageData& data, QWidget* panel)
    : RegisterPage("Tahoma", QStringLiteral("Status"), panel), data_(data) {
    setObjectName(QStringLiteral("statusPage"));
    buildControls();
}

// Until the first Refresh the ID is empty and nothing is checked.
void ZN410STATUSDlg::buildControls() {
    const DialogUnits du(font());
    id_ = labelled(addReadOnlyField(this, "id", du.rect(60, 20, 30, 12)),
                   addLabel(this, "ID", du.rect(20, 22, 36, 8)));
    id_->setAlignment(Qt::AlignCenter);

    addLabel(this, "ORDER", du.rect(20, 46, 36, 8));
    // The order is shown only: both buttons stay disabled, in a group of
    // their own, and start unchecked.
    auto* order = new QButtonGroup(this);
    const auto orderButton = [&](const char* caption, const char* name, int y) {
        auto* button = new QRadioButton(QString::fromLatin1(caption), this);
        button->setObjectName(QString::fromLatin1(name));
        button->setEnabled(false);
        button->setGeometry(du.rect(60, y, 70, 10));
        order->addButton(button);
        return button;
    };
    order->setExclusive(false);
    msbFirst_ = orderButton("MSB First", "msbFirst", 45);
    lsbFirst_ = orderButton("LSB First", "lsbFirst", 58);

    addLabel(this, "BUFEN", du.rect(20, 80, 36, 8));
    buffer_ = new QCheckBox(QStringLiteral("Enable Analog Input Bufer"), this);
    buffer_->setObjectName(QStringLiteral("bufferEnable"));
    buffer_->setGeometry(du.rect(60, 79, 110, 10));
    connect(buffer_, &QCheckBox::clicked, this, &ZN410STATUSDlg::OnBufferClicked);
}

void ZN410STATUSDlg::OnBufferClicked() {
    data_.status = withBits(data_.status, field::kBufferSet, buffer_->isChecked());
}

void ZN410STATUSDlg::Refresh() {
    id_->setText(QString::fromStdString(printfFitted(16, "%02d", data_.status >> 4)));
    const bool lsbFirst = (data_.status & field::kOrderSet) != 0;
    lsbFirst_->setChecked(lsbFirst);
    msbFirst_->setChecked(!lsbFirst);
    buffer_->setChecked((data_.status & field::kBufferSet) != 0);
}

}  // namespace orv
