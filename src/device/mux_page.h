#pragma once

#include "device/register_page.h"

namespace orv {

struct MuxPageData;

// The "MUX" page.
class ZN410MUXDlg final : public RegisterPage {
    Q_OBJECT
public:
    ZN410MUXDlg(MuxPageData& data, QWidget* panel);

private:
    MuxPageData& data_;
};

}  // namespace orv
