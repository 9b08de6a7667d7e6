// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include "device/register_page.h"

class QButtonGroup;
class QPushButton;

namespace orv {

class ValueLabel;

struct GpioPageData;

// The "GPIO" page: the four digital pins D3 to D0, one row each, with the
// output level button, the Output and Input direction buttons and the
// label showing the level read. The page's data holds the IO value a Write
// sends (changed by the buttons) and the IO value last read (shown).
class ZN410IODlg final : public RegisterPage {
    Q_OBJECT
public:
    static constexpr int kPins = 4;  // D3, D2, D1, D0 from the top

    ZN410IODlg(GpioPageData& data, QWidget* panel);

    // `pin` counts rows from the top: 0 is D3.
    void OnLevelClicked(int pin);
    void OnDirectionClicked(int pin, bool input);

    // Shows the IO value read on the direction buttons and the level labels
    // and takes it as the value to send, with the level buttons to match,
    // so that a Write from this page sends what the page shows.
    void Refresh();

private:
    void buildRows();

    GpioPageData& data_;
    std::array<QPushButton*, kPins> levels_{};
    std::array<QButtonGroup*, kPins> directions_{};
    std::array<ValueLabel*, kPins> inputLevels_{};
};

}  // namespace orv
