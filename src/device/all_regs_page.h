// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

#include "converter/registers.h"
#include "device/register_page.h"

class QLineEdit;

namespace orv {

class CTCEdit;
struct AllRegsPageData;

// The "All Regs" page: every register in a Write column the user edits and
// a read-only Read column, one row per address, and "Sync", which copies the
// Read column into the Write column. The panel and the other pages fill the
// columns through the operations below.
class ZN410ALLDlg final : public RegisterPage {
    Q_OBJECT
public:
    ZN410ALLDlg(AllRegsPageData& data, QWidget* panel);

    void OnSync();

    // Shows `value` in one Read field; the read values are not changed.
    void showReadField(int address, std::uint8_t value);
    // Shows the read values in the whole Read column.
    void showReadValues();
    // Shows the write values in the whole Write column.
    void showWriteValues();
    // The Write field of `address` read as a hexadecimal number (empty is
    // 0), cut to its low byte.
    std::uint8_t writeFieldValue(int address) const;

    AllRegsPageData& data() { return data_; }

private:
    void buildRows();

    AllRegsPageData& data_;
    std::array<CTCEdit*, kRegisterCount> writeFields_{};
    std::array<QLineEdit*, kRegisterCount> readFields_{};
};

}  // namespace orv
