// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "device/register_page.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace orv {

class Link;
class Prompts;
struct PowerPageData;

// The "Power & Ref" page: the reference voltage, the sensor-detect current
// (ADCON bits 4-3 of the page's copy) and three buttons that send standby,
// power-down and wake-up at once. The power mode is kept only in which of
// "Standby" and "Power Down" is enabled.
class ZN410POWERDlg final : public RegisterPage {
    Q_OBJECT
public:
    // The three buttons do nothing while `busy` (the panel's flag) is set.
    ZN410POWERDlg(PowerPageData& data, const int& busy, Link& link, Prompts& prompts,
                  QWidget* panel);

    // Selects the sensor-current item at `position`; no handler runs.
    void selectSensorCurrent(int position);
    void OnSelchangeSensorCurrent();

    void OnStandby();
    void OnPowerDown();
    void OnWakeup();

private:
    void buildControls();
    void OnInitDialog();

    PowerPageData& data_;
    const int& busy_;
    Link& link_;
    Prompts& prompts_;
    QLineEdit* vref_ = nullptr;
    QComboBox* sensorCurrentList_ = nullptr;
    QPushButton* powerDown_ = nullptr;
    QPushButton* standby_ = nullptr;
    QPushButton* wakeup_ = nullptr;
};

}  // namespace orv
