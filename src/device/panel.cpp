// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/panel.h"

#include <QComboBox>
#include <QPushButton>
#include <QTabBar>
#include <cstdlib>

#include "controls/tc_edit.h"
#include "converter/value_tables.h"
#include "device/all_regs_page.h"
#include "device/cal_page.h"
#include "device/clocks_page.h"
#include "device/gpio_page.h"
#include "device/mux_page.h"
#include "device/panel_data.h"
#include "device/power_page.h"
#include "device/status_page.h"
#include "device/table_combo.h"
#include "seams/prompts.h"

namespace orv {

namespace {

constexpr int kDataCountChars = 5;
const QPoint kPageOrigin{40, 70};

}  // namespace

ZN410Dlg::ZN410Dlg(PanelData& data, Link& link, Prompts& prompts, QWidget* parent)
    : QWidget(parent), data_(data), link_(link), prompts_(prompts) {
    setObjectName(QStringLiteral("devicePanel"));
    setAccessibleName(QStringLiteral("Device panel"));
    setFont(QFont(QStringLiteral("MS Shell Dlg"), 8));
    hide();
    buildControls();

    connect(writeButton_, &QPushButton::clicked, this, &ZN410Dlg::OnWrite);
    connect(readButton_, &QPushButton::clicked, this, &ZN410Dlg::OnRead);
    connect(startButton_, &QPushButton::clicked, this, &ZN410Dlg::StartAcquisition);
    connect(saveFile_, &QPushButton::clicked, this, &ZN410Dlg::OnSaveFile);
    connect(analysisButton_, &QPushButton::clicked, this, &ZN410Dlg::analysisRequested);
    connectChart();
    connect(dataCount_, &CTCEdit::textChanged, this, &ZN410Dlg::OnChangeDataCount);
    // The gain handler runs on the user's choice only; the data-rate code
    // follows every selection of its list, whoever sets it.
    connect(gainList_, &QComboBox::activated, this, &ZN410Dlg::OnSelchangeGain);
    connect(dataRateList_, &QComboBox::currentIndexChanged, this, &ZN410Dlg::OnSelchangeDataRate);

    OnInitDialog();
    // Inserting the first tab selects it before the pages exist; only the
    // user's changes come here.
    connect(tab_, &QTabBar::currentChanged, this, &ZN410Dlg::OnSelchangeTab);
}

void ZN410Dlg::OnInitDialog() {
    // "&&" shows a single '&' rather than a shortcut.
    for (const char* name :
         {"MUX", "Clocks", "GPIO", "Power && Ref", "Cal", "Status", "All Regs"}) {
        tab_->addTab(QString::fromLatin1(name));
    }
    fitTabArea();
    createPages();
    fillFromTable(gainList_, PgaGainTable);
    fillFromTable(dataRateList_, DataRateTable);
    dataCount_->setMaxLength(kDataCountChars);
    OnRead();
    dataCount_->setText(QStringLiteral("45"));
}

void ZN410Dlg::createPages() {
    muxPage_ = new ZN410MUXDlg(data_.mux, this);
    clocksPage_ = new ZN410CLOCKDlg(data_.clocks, this);
    gpioPage_ = new ZN410IODlg(data_.gpio, this);
    powerPage_ = new ZN410POWERDlg(data_.power, data_.busy, link_, prompts_, this);
    calPage_ = new ZN410CALDlg(data_.cal, data_.allRegs, data_.busy, link_, prompts_, this);
    statusPage_ = new ZN410STATUSDlg(data_.status, this);
    allPage_ = new ZN410ALLDlg(data_.allRegs, this);
    connect(calPage_, &ZN410CALDlg::readValuesChanged, allPage_, &ZN410ALLDlg::showReadValues);
    pages_ = {muxPage_, clocksPage_, gpioPage_, powerPage_, calPage_, statusPage_, allPage_};

    const QSize size = muxPage_->size();
    for (QWidget* page : pages_) {
        page->setGeometry(QRect(kPageOrigin, size));
        page->raise();
        page->setVisible(page == muxPage_);
    }
}

void ZN410Dlg::OnSelchangeTab() {
    const int selected = tab_->currentIndex();
    if (selected < 0 || selected >= static_cast<int>(pages_.size())) {
        return;
    }
    for (int i = 0; i < static_cast<int>(pages_.size()); ++i) {
        pages_[i]->setVisible(i == selected);
    }
    writeButton_->setVisible(selected != kCalTab);
    readButton_->setVisible(selected != kCalTab);
}

// Only a five-character text is checked, as a decimal number made of its
// leading digits; the field itself lets hexadecimal digits in.
void ZN410Dlg::OnChangeDataCount() {
    const std::string text = dataCount_->text().toStdString();
    if (text.size() != kDataCountChars) {
        return;
    }
    if (std::strtol(text.c_str(), nullptr, 10) > kMaxDataCount) {
        prompts_.message(this, "Data count should be less than 65536 !", "Error occured !");
        dataCount_->setText(QStringLiteral("65535"));
    }
}

void ZN410Dlg::OnSelchangeGain() {
    const int code = selectedCode(gainList_);
    if (code >= 0) {
        setGainCode(data_, code);
    }
}

void ZN410Dlg::OnSelchangeDataRate() {
    const int code = selectedCode(dataRateList_);
    if (code >= 0) {
        data_.dataRateCode = static_cast<std::uint8_t>(code);
    }
}

}  // namespace orv
