// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/power_page.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "controls/dialog_units.h"
#include "converter/value_tables.h"
#include "device/page_controls.h"
#include "device/panel_data.h"
#include "device/table_combo.h"
#include "link/commands.h"

namespace orv {

ZN410POWERDlg::ZN410POWERDlg(PowerPageData& data, const int& busy, Link& link, Prompts& prompts,
                             QWidget* panel)
    : RegisterPage("MS Shell Dlg", QStringLiteral("Power & Ref"), panel),
      data_(data),
      busy_(busy),
      link_(link),
      prompts_(prompts) {
    setObjectName(QStringLiteral("powerPage"));
    buildControls();
    OnInitDialog();
}

void ZN410POWERDlg::buildControls() {
    const DialogUnits du(font());
    vref_ = labelled(addReadOnlyField(this, "vref", du.rect(40, 20, 40, 12)),
                     addLabel(this, "Vref", du.rect(16, 22, 22, 8)));
    sensorCurrentList_ =
        labelled(addList(this, "sensorCurrentList", du.rect(16, 62, 64, 12)),
                 addLabel(this, "Sensor Detect Current Sources", du.rect(16, 50, 120, 8)));
    powerDown_ = addButton(this, "Power Down", "powerDownButton", du.rect(100, 100, 56, 14));
    standby_ = addButton(this, "Standby", "standbyButton", du.rect(100, 122, 56, 14));
    wakeup_ = addButton(this, "Wakeup", "wakeupButton", du.rect(100, 144, 56, 14));

    // The item's position is the code: the table lists the codes in order.
    connect(sensorCurrentList_, &QComboBox::activated, this,
            &ZN410POWERDlg::OnSelchangeSensorCurrent);
    connect(standby_, &QPushButton::clicked, this, &ZN410POWERDlg::OnStandby);
    connect(powerDown_, &QPushButton::clicked, this, &ZN410POWERDlg::OnPowerDown);
    connect(wakeup_, &QPushButton::clicked, this, &ZN410POWERDlg::OnWakeup);
}

void ZN410POWERDlg::OnInitDialog() {
    fillFromTable(sensorCurrentList_, SensorCurrentTable);
    vref_->setText(QStringLiteral("2.5V"));
}

void ZN410POWERDlg::selectSensorCurrent(int position) {
    sensorCurrentList_->setCurrentIndex(position);
}

void ZN410POWERDlg::OnSelchangeSensorCurrent() {
    const int position = sensorCurrentList_->currentIndex();
    if (position >= 0) {
        data_.adcon = withSensorCurrent(data_.adcon, position);
    }
}

void ZN410POWERDlg::OnStandby() {
    if (busy_) {
        return;
    }
    if (SendPowerCommand(link_, prompts_, this, Command::Standby)) {
        powerDown_->setEnabled(false);
    }
}

void ZN410POWERDlg::OnPowerDown() {
    if (busy_) {
        return;
    }
    if (SendPowerCommand(link_, prompts_, this, Command::PowerDown)) {
        standby_->setEnabled(false);
    }
}

void ZN410POWERDlg::OnWakeup() {
    if (busy_) {
        return;
    }
    if (SendPowerCommand(link_, prompts_, this, Command::Wakeup)) {
        powerDown_->setEnabled(true);
        standby_->setEnabled(true);
    }
}

}  // namespace orv
