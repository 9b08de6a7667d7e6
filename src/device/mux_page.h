// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "device/register_page.h"

class QButtonGroup;

namespace orv {

struct MuxPageData;

// The "MUX" page: the positive and negative analog inputs, one column of
// radio buttons each, AIN0 to AIN7 and AINCOM. A button's identifier is
// 1006 + channel in the AIN+ column and 1015 + channel in the AIN- column;
// the selections in the page's data are those identifiers.
class ZN410MUXDlg final : public RegisterPage {
    Q_OBJECT
public:
    static constexpr int kFirstPositive = 1006;
    static constexpr int kFirstNegative = 1015;

    ZN410MUXDlg(MuxPageData& data, QWidget* panel);

    void OnPositiveClicked(int id);
    void OnNegativeClicked(int id);

    // Shows the MUX value on both columns and takes the checked buttons as
    // the selections; the value itself is kept, even a nibble above 7.
    void Refresh();

    // The same channel on both inputs, AINCOM against AINCOM included.
    bool sameChannel() const;

private:
    void buildGrid();
    void OnInitDialog();
    // Checks channel `positive` in the AIN+ column and `negative` in the
    // AIN- column and takes them as the selections.
    void showSelections(int positive, int negative);

    MuxPageData& data_;
    QButtonGroup* positive_ = nullptr;
    QButtonGroup* negative_ = nullptr;
};

}  // namespace orv
