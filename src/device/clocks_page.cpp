// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/clocks_page.h"

#include <QComboBox>
#include <QLineEdit>

#include "controls/dialog_units.h"
#include "controls/value_label.h"
#include "converter/value_tables.h"
#include "device/page_controls.h"
#include "device/panel_data.h"
#include "device/table_combo.h"

namespace orv {

ZN410CLOCKDlg::ZN410CLOCKDlg(ClocksPageData& data, QWidget* panel)
    : RegisterPage("MS Shell Dlg", QStringLiteral("Clocks"), panel), data_(data) {
    setObjectName(QStringLiteral("clocksPage"));
    buildControls();
    OnInitDialog();
}

void ZN410CLOCKDlg::buildControls() {
    const DialogUnits du(font());
    const auto field = [&](const char* caption, const char* name, int y) {
        auto* edit = labelled(addReadOnlyField(this, name, du.rect(88, y, 70, 12)),
                              addLabel(this, caption, du.rect(20, y + 2, 64, 8)));
        edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return edit;
    };
    clockIn_ = field("Clock In", "clockIn", 20);

    clockSource_ = new ValueLabel(this);
    clockSource_->setGeometry(du.rect(88, 40, 70, 12));
    clockSource_->setObjectName(QStringLiteral("clockSource"));
    clockSource_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    clockSource_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    labelled(clockSource_, addLabel(this, "Clock Source", du.rect(20, 42, 64, 8)));

    clockOutList_ = labelled(addList(this, "clockOutList", du.rect(88, 60, 70, 12)),
                             addLabel(this, "Clock Out Rate", du.rect(20, 62, 64, 8)));
    clockOut_ = field("Clock Out", "clockOut", 80);

    // Only the user's choice comes here; the panel runs the handler itself
    // after it selects an item.
    connect(clockOutList_, &QComboBox::activated, this, &ZN410CLOCKDlg::OnSelchangeClockOut);
}

// "Clock Out" stays empty until the handler first runs.
void ZN410CLOCKDlg::OnInitDialog() {
    fillFromTable(clockOutList_, ClockOutTable);
    clockIn_->setText(QStringLiteral("7.680000MHz"));
    clockSource_->setValue(QStringLiteral("Crystal"));
}

void ZN410CLOCKDlg::selectClockOut(int position) {
    clockOutList_->setCurrentIndex(position);
}

void ZN410CLOCKDlg::OnSelchangeClockOut() {
    const int code = selectedCode(clockOutList_);
    if (code < 0) {
        return;
    }
    data_.adcon = withClockOut(data_.adcon, code);
    clockOut_->setText(QString::fromStdString(clockOutText(kInputClockHz, code)));
}

}  // namespace orv
