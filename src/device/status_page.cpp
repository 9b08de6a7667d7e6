#include "device/status_page.h"

#include "device/panel_data.h"

namespace orv {

ZN410STATUSDlg::ZN410STATUSDlg(StatusPageData& data, QWidget* panel)
    : RegisterPage("Tahoma", QStringLiteral("Status"), panel), data_(data) {
    setObjectName(QStringLiteral("statusPage"));
}

}  // namespace orv
