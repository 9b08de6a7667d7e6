// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "device/register_page.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace orv {

struct StatusPageData;

// The "Status" page: the converter's identification number and data bit
// order, shown only, and the analog input buffer switch (STATUS bit 1).
// A Write from this page sends the whole STATUS byte as last read, with the
// buffer bit as the box shows it.
class ZN410STATUSDlg final : public RegisterPage {
    Q_OBJECT
public:
    ZN410STATUSDlg(StatusPageData& data, QWidget* panel);

    void OnBufferClicked();
    void Refresh();

private:
    void buildControls();

    StatusPageData& data_;
    QLineEdit* id_ = nullptr;
    QRadioButton* msbFirst_ = nullptr;
    QRadioButton* lsbFirst_ = nullptr;
    QCheckBox* buffer_ = nullptr;
};

}  // namespace orv
