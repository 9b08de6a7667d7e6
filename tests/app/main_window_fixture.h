// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "app/main_window.h"
#include "app/version_info.h"
#include "link/link.h"
#include "recording_prompts.h"
#include "sim/sim_bus.h"

namespace orv::test {

// The main window over an in-memory bus with ports ttyS0 and ttyS1.
struct Window {
    explicit Window(const VersionResource* version = nullptr)
        : link({"/dev/ttyS0", "/dev/ttyS1"}, bus.factory(), clock), window(link, prompts, version) {
        window.show();
    }
    QPushButton* detect() { return window.findChild<QPushButton*>("detectEvmButton"); }
    QString status() { return window.findChild<QLabel*>("portStatus")->text(); }
    QComboBox* selector() { return window.findChild<QComboBox*>("evmSelector"); }

    ManualClock clock;
    sim::SimBus bus{clock};
    test::RecordingPrompts prompts;
    Link link;
    COrvellinDlg window;
};

// A resource whose product version differs from its file version.
inline VersionResource productVersion2017() {
    VersionResource resource;
    resource.fixed = {0x00090008, 0x00070006, 0x00020000, 0x00010007};
    resource.translations = {{0x0409, 0x04B0}};
    resource.stringTables = {
        {"040904b0", {{"CompanyName", "Orvellin developers"}, {"ProductVersion", "2.0.1.7_x"}}}};
    return resource;
}

}  // namespace orv::test
