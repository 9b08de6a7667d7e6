#include "device/power_page.h"

#include "device/panel_data.h"

namespace orv {

ZN410POWERDlg::ZN410POWERDlg(PowerPageData& data, QWidget* panel)
    : RegisterPage("MS Shell Dlg", QStringLiteral("Power & Ref"), panel), data_(data) {
    setObjectName(QStringLiteral("powerPage"));
}

}  // namespace orv
