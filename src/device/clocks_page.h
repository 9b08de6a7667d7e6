#pragma once

#include "device/register_page.h"

namespace orv {

struct ClocksPageData;

// The "Clocks" page.
class ZN410CLOCKDlg final : public RegisterPage {
    Q_OBJECT
public:
    ZN410CLOCKDlg(ClocksPageData& data, QWidget* panel);

private:
    ClocksPageData& data_;
};

}  // namespace orv
