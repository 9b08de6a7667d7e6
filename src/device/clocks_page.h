// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "device/register_page.h"

class QComboBox;
class QLineEdit;

namespace orv {

class ValueLabel;

struct ClocksPageData;

// The "Clocks" page: the input clock, its source, and the rate of the
// converter's clock output, which is ADCON bits 6-5 of the page's copy.
class ZN410CLOCKDlg final : public RegisterPage {
    Q_OBJECT
public:
    static constexpr int kInputClockHz = 7680000;

    ZN410CLOCKDlg(ClocksPageData& data, QWidget* panel);

    // Selects the clock-output item at `position`; no handler runs.
    void selectClockOut(int position);
    // The clock-output list's handler: the selected code goes into the copy
    // and its frequency into "Clock Out". Also run after `selectClockOut`.
    void OnSelchangeClockOut();

private:
    void buildControls();
    void OnInitDialog();

    ClocksPageData& data_;
    QLineEdit* clockIn_ = nullptr;
    ValueLabel* clockSource_ = nullptr;
    QComboBox* clockOutList_ = nullptr;
    QLineEdit* clockOut_ = nullptr;
};

}  // namespace orv
