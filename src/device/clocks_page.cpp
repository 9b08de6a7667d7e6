#include "device/clocks_page.h"

#include "device/panel_data.h"

namespace orv {

ZN410CLOCKDlg::ZN410CLOCKDlg(ClocksPageData& data, QWidget* panel)
    : RegisterPage("MS Shell Dlg", QStringLiteral("Clocks"), panel), data_(data) {
    setObjectName(QStringLiteral("clocksPage"));
}

}  // namespace orv
