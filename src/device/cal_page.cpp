#include "device/cal_page.h"

#include "device/panel_data.h"

namespace orv {

ZN410CALDlg::ZN410CALDlg(CalPageData& data, QWidget* panel)
    : RegisterPage("MS Shell Dlg", QStringLiteral("Cal"), panel), data_(data) {
    setObjectName(QStringLiteral("calPage"));
}

}  // namespace orv
