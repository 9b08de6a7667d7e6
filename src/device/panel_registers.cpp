// SPDX-License-Identifier: GPL-3.0-or-later
// The panel's register traffic: Write, Read and showing the image.

#include <QComboBox>
#include <QPushButton>
#include <QTabBar>

#include "converter/register_io.h"
#include "device/all_regs_page.h"
#include "device/cal_page.h"
#include "device/clocks_page.h"
#include "device/disabled_while.h"
#include "device/gpio_page.h"
#include "device/mux_page.h"
#include "device/panel.h"
#include "device/panel_data.h"
#include "device/power_page.h"
#include "device/status_page.h"
#include "device/table_combo.h"
#include "link/commands.h"
#include "seams/prompts.h"

namespace orv {

void ZN410Dlg::OnWrite() {
    const BusyScope busy(data_.busy);
    if (!busy.acquired()) {
        return;
    }
    const DisabledWhile disabled(writeButton_);
    const int tab = tab_->currentIndex();
    if (tab == kAllRegsTab) {
        writeAllRegisters();
    } else if (tab >= kMuxTab && tab < kAllRegsTab && tab != kCalTab) {
        writeFromPage(static_cast<Tab>(tab));
    }
}

// Each register is tried whatever happened to the one before; a write the
// EVM does not confirm changes nothing and says nothing.
void ZN410Dlg::writeFromPage(Tab tab) {
    switch (tab) {
        case kMuxTab:
            if (muxPage_->sameChannel()) {
                prompts_.message(this, "AIN+ and AIN- cannot select the same channel !", "Error",
                                 MessageIcon::Error);
                return;
            }
            writeAndKeep(MUX, data_.mux.value);
            break;
        case kGpioTab:
            if (WriteRegister(link_, IO, data_.gpio.output)) {
                readBackIo();
            }
            break;
        case kPowerTab:
            data_.power.adcon = composedAdcon(data_);
            break;
        case kStatusTab:
            // The image keeps the STATUS of the last Read.
            writeAndShow(STATUS, data_.status.status);
            break;
        default:
            break;
    }
    const std::uint8_t adcon = composedAdcon(data_);
    if (tab == kClocksTab) {
        writeAndShow(ADCON, adcon);
    } else {
        writeAndKeep(ADCON, adcon);
    }
    writeAndKeep(DRATE, data_.dataRateCode);
}

// Stops at the first register the EVM does not confirm; nothing but the
// write values is kept.
void ZN410Dlg::writeAllRegisters() {
    for (std::uint8_t a = 0; a < kRegisterCount; ++a) {
        const std::uint8_t value = allPage_->writeFieldValue(a);
        data_.allRegs.writeValues[a] = value;
        if (!WriteRegisterOrReport(link_, prompts_, allPage_, a, value)) {
            return;
        }
    }
}

bool ZN410Dlg::writeAndShow(std::uint8_t address, std::uint8_t value) {
    if (!WriteRegister(link_, address, value)) {
        return false;
    }
    allPage_->showReadField(address, value);
    return true;
}

void ZN410Dlg::writeAndKeep(std::uint8_t address, std::uint8_t value) {
    if (writeAndShow(address, value)) {
        data_.image[address] = value;
    }
}

// The IO value the EVM holds after a confirmed IO write; the page's
// buttons and labels keep showing the last Read.
void ZN410Dlg::readBackIo() {
    data_.image[IO] = ReadRegister(link_, IO).appliedTo(data_.image[IO]);
    data_.gpio.read = data_.image[IO];
    allPage_->showReadField(IO, data_.gpio.read);
}

void ZN410Dlg::OnRead() {
    const BusyScope busy(data_.busy);
    if (!busy.acquired()) {
        return;
    }
    const DisabledWhile disabled(readButton_);
    if (!readRegisters(link_, prompts_, this, data_.image)) {
        return;
    }
    DistributeImage();
    data_.allRegs.readValues = data_.image;
    allPage_->showReadValues();
}

// Selecting list items here runs none of their handlers but the data-rate
// code's, which follows its list, and the clock output's, run on purpose.
void ZN410Dlg::DistributeImage() {
    const RegisterImage& image = data_.image;
    selectDirect(gainList_, gainCode(image[ADCON]));
    selectBySearch(dataRateList_, image[DRATE]);

    data_.mux.value = image[MUX];
    muxPage_->Refresh();

    data_.gpio.read = image[IO];
    gpioPage_->Refresh();

    data_.power.adcon = image[ADCON];
    powerPage_->selectSensorCurrent(sensorCurrentCode(image[ADCON]));

    data_.clocks.adcon = image[ADCON];
    clocksPage_->selectClockOut(clockOutCode(image[ADCON]));
    clocksPage_->OnSelchangeClockOut();

    data_.status.status = image[STATUS];
    statusPage_->Refresh();

    std::copy(image.begin() + OFC0, image.end(), data_.cal.calibration.begin());
    calPage_->Refresh();
}

}  // namespace orv
