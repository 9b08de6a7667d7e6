#pragma once

#include "device/register_page.h"

namespace orv {

struct StatusPageData;

// The "Status" page.
class ZN410STATUSDlg final : public RegisterPage {
    Q_OBJECT
public:
    ZN410STATUSDlg(StatusPageData& data, QWidget* panel);

private:
    StatusPageData& data_;
};

}  // namespace orv
