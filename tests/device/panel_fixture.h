#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include "app/main_window.h"
#include "controls/tc_edit.h"
#include "device/all_regs_page.h"
#include "device/panel.h"
#include "link/link.h"
#include "recording_prompts.h"
#include "sim/sim_bus.h"

namespace orv::test {

// The main window over an in-memory bus whose only port, ttyS0, holds an
// EVM with the given power-on registers; `detect()` presses "Detect EVM".
struct PanelFixture {
    explicit PanelFixture(sim::Registers registers = sim::kPowerOnRegisters)
        : evm(bus.addEvm("/dev/ttyS0", sim::EvmConfig{.powerOn = registers})),
          link({"/dev/ttyS0"}, bus.factory(), clock),
          window(link, prompts) {
        window.show();
    }

    void detect() {
        QTest::mouseClick(window.findChild<QPushButton*>("detectEvmButton"), Qt::LeftButton);
    }

    ZN410Dlg* panel() { return window.findChild<ZN410Dlg*>("devicePanel"); }
    template <class T>
    T* control(const char* name) {
        return panel()->findChild<T*>(QString::fromLatin1(name));
    }
    QTabBar* tabs() { return control<QTabBar>("tabs"); }
    void selectTab(int index) {
        QTest::mouseClick(tabs(), Qt::LeftButton, {}, tabs()->tabRect(index).center());
    }
    CTCEdit* dataCount() { return control<CTCEdit>("dataCount"); }
    ZN410ALLDlg* allRegs() { return control<ZN410ALLDlg>("allRegsPage"); }
    QString readField(const char* name) {
        return allRegs()->findChild<QLineEdit*>(QStringLiteral("read") + name)->text();
    }
    CTCEdit* writeField(const char* name) {
        return allRegs()->findChild<CTCEdit*>(QStringLiteral("write") + name);
    }
    PanelData& data() { return window.panelData(); }

    ManualClock clock;
    sim::SimBus bus{clock};
    sim::EvmModel& evm;
    RecordingPrompts prompts;
    Link link;
    COrvellinDlg window;
};

}  // namespace orv::test
