#pragma once

#include "device/register_page.h"

namespace orv {

struct PowerPageData;

// The "Power & Ref" page.
class ZN410POWERDlg final : public RegisterPage {
    Q_OBJECT
public:
    ZN410POWERDlg(PowerPageData& data, QWidget* panel);

private:
    PowerPageData& data_;
};

}  // namespace orv
