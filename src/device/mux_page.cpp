#include "device/mux_page.h"

#include "controls/dialog_units.h"
#include "device/panel_data.h"

namespace orv {

namespace {

constexpr int kWidthUnits = 176;
constexpr int kHeightUnits = 200;

}  // namespace

ZN410MUXDlg::ZN410MUXDlg(MuxPageData& data, QWidget* panel)
    : RegisterPage("Tahoma", QStringLiteral("MUX"), panel), data_(data) {
    setObjectName(QStringLiteral("muxPage"));
    // Every page takes this page's size.
    resize(DialogUnits(font()).rect(0, 0, kWidthUnits, kHeightUnits).size());
}

}  // namespace orv
