// SPDX-License-Identifier: GPL-3.0-or-later
// The panel's side of the register profiles.

#include <QLineEdit>

#include "device/all_regs_page.h"
#include "device/panel.h"
#include "device/panel_data.h"
#include "profile/profile.h"
#include "profile/profile_file.h"
#include "seams/prompts.h"

namespace orv {

void ZN410Dlg::SaveProfile(const std::string& path) {
    if (!saveProfileFile(path, data_.image)) {
        prompts_.message(this, "Save profile failed !", "Error !");
    }
}

// The Read column keeps what was last read from the EVM.
void ZN410Dlg::LoadProfile(const std::string& path) {
    const auto registers = readProfile(readProfileFile(path).value_or(std::string()));
    if (!registers) {
        prompts_.message(this, "The profile is invalid for \"" + std::string(kProfileTarget) + "\"",
                         "Error !");
        return;
    }
    data_.allRegs.writeValues = *registers;
    allPage_->showWriteValues();
    data_.image = *registers;
    DistributeImage();

    // The block goes, and with it everything told about it.
    data_.samples.clear();
    data_.sampleItems.clear();
    data_.chart = ChartState{};
    data_.sampleImage = {};
    data_.sampleStarted = {};
    data_.sampleStartedUtc = {};
    data_.sampleStartedAt = {};
    data_.samplePort.clear();
    DrawChart(0);
    minimum_->clear();
    maximum_->clear();
    average_->clear();
    emit samplesChanged();
}

}  // namespace orv
