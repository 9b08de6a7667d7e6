#include "device/gpio_page.h"

#include "device/panel_data.h"

namespace orv {

ZN410IODlg::ZN410IODlg(GpioPageData& data, QWidget* panel)
    : RegisterPage("Tahoma", QStringLiteral("GPIO"), panel), data_(data) {
    setObjectName(QStringLiteral("gpioPage"));
}

}  // namespace orv
