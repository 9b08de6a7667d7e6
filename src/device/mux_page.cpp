// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/mux_page.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>

#include "controls/dialog_units.h"
#include "converter/registers.h"
#include "device/page_controls.h"
#include "device/panel_data.h"

namespace orv {

namespace {

constexpr int kWidthUnits = 176;
constexpr int kHeightUnits = 200;
constexpr int kChannels = 9;  // AIN0 .. AIN7, AINCOM
constexpr int kRowLabelX = 30;
constexpr int kPositiveX = 84;
constexpr int kNegativeX = 124;
constexpr int kFirstRowY = 26;
constexpr int kRowStep = 14;

const char* const kChannelNames[kChannels] = {"AIN0", "AIN1", "AIN2", "AIN3",  "AIN4",
                                              "AIN5", "AIN6", "AIN7", "AINCOM"};

}  // namespace

ZN410MUXDlg::ZN410MUXDlg(MuxPageData& data, QWidget* panel)
    : RegisterPage("Tahoma", QStringLiteral("MUX"), panel), data_(data) {
    setObjectName(QStringLiteral("muxPage"));
    // Every page takes this page's size.
    resize(DialogUnits(font()).rect(0, 0, kWidthUnits, kHeightUnits).size());
    buildGrid();
    OnInitDialog();
}

void ZN410MUXDlg::buildGrid() {
    const DialogUnits du(font());
    auto* frame = new QGroupBox(this);
    frame->setGeometry(du.rect(14, 4, 148, kFirstRowY + kRowStep * kChannels - 4));
    addLabel(this, "AIN+", du.rect(kPositiveX - 4, 12, 20, 8));
    addLabel(this, "AIN-", du.rect(kNegativeX - 4, 12, 20, 8));

    positive_ = new QButtonGroup(this);
    negative_ = new QButtonGroup(this);
    for (int k = 0; k < kChannels; ++k) {
        const int y = kFirstRowY + kRowStep * k;
        const QString channel = QString::fromLatin1(kChannelNames[k]);
        addLabel(this, kChannelNames[k], du.rect(kRowLabelX, y, 36, 8));
        const auto radio = [&](QButtonGroup* group, const char* column, int x, int id) {
            auto* button = new QRadioButton(this);
            button->setObjectName(QString::fromLatin1(column) + QString::number(k));
            button->setAccessibleName(QString::fromLatin1(column) + ' ' + channel);
            button->setGeometry(du.rect(x, y - 1, 12, 10));
            group->addButton(button, id);
        };
        radio(positive_, "AIN+", kPositiveX, kFirstPositive + k);
        radio(negative_, "AIN-", kNegativeX, kFirstNegative + k);
    }
    QLabel* note = addLabel(
        this, "For single-ended measurements, use AINCOM as the common input (ground or voltage).",
        du.rect(14, kFirstRowY + kRowStep * kChannels + 8, 148, 24));
    note->setWordWrap(true);

    connect(positive_, &QButtonGroup::idClicked, this, &ZN410MUXDlg::OnPositiveClicked);
    connect(negative_, &QButtonGroup::idClicked, this, &ZN410MUXDlg::OnNegativeClicked);
}

// AIN0 against AIN1 on the buttons; the MUX value is left as it is.
void ZN410MUXDlg::OnInitDialog() {
    showSelections(0, 1);
}

// The MUX value follows the two selections, cut to a byte.
void ZN410MUXDlg::OnPositiveClicked(int id) {
    data_.positiveSelection = id;
    data_.value = encodeMux(id - kFirstPositive, data_.negativeSelection - kFirstNegative);
}

void ZN410MUXDlg::OnNegativeClicked(int id) {
    data_.negativeSelection = id;
    data_.value = encodeMux(data_.positiveSelection - kFirstPositive, id - kFirstNegative);
}

void ZN410MUXDlg::Refresh() {
    const MuxChannels shown = decodeMux(data_.value);
    showSelections(shown.positive, shown.negative);
}

// Checking a button in its exclusive group unchecks the others and runs no
// click handler.
void ZN410MUXDlg::showSelections(int positive, int negative) {
    data_.positiveSelection = kFirstPositive + positive;
    data_.negativeSelection = kFirstNegative + negative;
    positive_->button(data_.positiveSelection)->setChecked(true);
    negative_->button(data_.negativeSelection)->setChecked(true);
}

bool ZN410MUXDlg::sameChannel() const {
    return data_.negativeSelection - (kFirstNegative - kFirstPositive) == data_.positiveSelection;
}

}  // namespace orv
