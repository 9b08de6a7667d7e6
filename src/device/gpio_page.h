#pragma once

#include "device/register_page.h"

namespace orv {

struct GpioPageData;

// The "GPIO" page.
class ZN410IODlg final : public RegisterPage {
    Q_OBJECT
public:
    ZN410IODlg(GpioPageData& data, QWidget* panel);

private:
    GpioPageData& data_;
};

}  // namespace orv
