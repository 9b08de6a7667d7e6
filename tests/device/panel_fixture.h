// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
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

// Frames as the EVM of type 1 receives them, byte for byte.
inline QByteArray wire(const Frame& frame) {
    return QByteArray(reinterpret_cast<const char*>(frame.data()), int(frame.size()));
}
inline QByteArray writeFrame(std::uint8_t address, std::uint8_t value) {
    return wire(CommandFrame(1, Command::WriteReg, address, value));
}
inline QByteArray readFrame(std::uint8_t address) {
    return wire(CommandFrame(1, Command::ReadReg, address));
}
inline QByteArray commandFrame(Command command) {
    return wire(CommandFrame(1, command));
}

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
    // What the EVM received since its frames were last cleared.
    QByteArray sent() const {
        QByteArray bytes;
        for (const Frame& frame : evm.frames()) {
            bytes += wire(frame);
        }
        return bytes;
    }
    // A user's click on a button of the panel or one of its pages.
    void click(const char* name) {
        auto* button = control<QAbstractButton>(name);
        QVERIFY2(button, name);
        QTest::mouseClick(button, Qt::LeftButton, {},
                          QPoint(button->height() / 2, button->height() / 2));
    }
    void write() { click("writeButton"); }
    // A user's choice of item `index` of a list, by keyboard.
    void choose(const char* list, int index) {
        auto* combo = control<QComboBox>(list);
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Home);
        for (int i = 0; i < index; ++i) {
            QTest::keyClick(combo, Qt::Key_Down);
        }
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
