// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

#include "device/register_page.h"
#include "link/frame.h"

class QLineEdit;

namespace orv {

class CTCEdit;
class Link;
class Prompts;
struct AllRegsPageData;
struct CalPageData;

// The "Working" box: a sunken box filled with a colour of the page's data,
// inside its one-pixel edge.
class CalIndicator final : public QLabel {
    Q_OBJECT
public:
    CalIndicator(const std::uint32_t& colour, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const std::uint32_t& colour_;
};

// The "Cal" page: its buttons talk to the EVM directly. "ON" runs a self
// calibration, four buttons run the individual calibrations, "Set" writes
// the two 24-bit entries to the offset and gain registers and "Read" reads
// those six registers back. Each does nothing while the panel's busy flag
// is set: a running collection owns the link.
class ZN410CALDlg final : public RegisterPage {
    Q_OBJECT
public:
    ZN410CALDlg(CalPageData& data, AllRegsPageData& allRegs, const int& busy, Link& link,
                Prompts& prompts, QWidget* panel);

    void OnSelfCalibration();
    // Self or system offset or gain calibration.
    void OnCalibrate(Command command);
    void OnSet();
    void OnRead();

    // Shows the six calibration bytes as the offset and gain values read.
    void Refresh();

signals:
    // "Read" changed the all-registers page's read values at OFC0 .. FSC2;
    // the whole Read column is to be drawn again.
    void readValuesChanged();

private:
    void buildControls();
    void OnInitDialog();
    void paintIndicator(std::uint32_t colour);
    void showOffset();
    void showGain();

    CalPageData& data_;
    AllRegsPageData& allRegs_;
    const int& busy_;
    Link& link_;
    Prompts& prompts_;
    bool selfCalibrating_ = false;

    CalIndicator* indicator_ = nullptr;
    CTCEdit* offsetEntry_ = nullptr;
    CTCEdit* gainEntry_ = nullptr;
    QLineEdit* offsetRead_ = nullptr;
    QLineEdit* gainRead_ = nullptr;
};

}  // namespace orv
