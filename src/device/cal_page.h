#pragma once

#include "device/register_page.h"

namespace orv {

struct CalPageData;

// The "Cal" page.
class ZN410CALDlg final : public RegisterPage {
    Q_OBJECT
public:
    ZN410CALDlg(CalPageData& data, QWidget* panel);

private:
    CalPageData& data_;
};

}  // namespace orv
