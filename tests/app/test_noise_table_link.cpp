// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QSpinBox>

#include "characterise_view/noise_table_window.h"
#include "controls/value_label.h"
#include "main_window_fixture.h"
#include "test_registry.h"

using namespace orv;

namespace {

// The main window over a detected EVM with 0 V on AIN0.
struct NoiseTableLink : test::Window {
    NoiseTableLink() {
        bus.addEvm("/dev/ttyS0", sim::EvmConfig{.toneHz = 0.0});
        detect()->click();
    }
    template <class Control = QWidget>
    Control* panelControl(const char* name) {
        return window.findChild<Control*>(QLatin1String(name));
    }
    // A control of the Noise Table window by its accessible name.
    template <class Control = QWidget>
    Control* tableControl(const QString& name) {
        for (Control* control : window.noiseTableWindow()->findChildren<Control*>()) {
            if (control->accessibleName() == name) {
                return control;
            }
        }
        return nullptr;
    }
};

class NoiseTableLinkTest final : public QObject {
    Q_OBJECT
private slots:
    // One window, made on first use, from the window menu or the panel's
    // button, shown as a window of its own.
    void menuAndButtonOpenOneWindow() {
        NoiseTableLink f;
        QVERIFY(!f.window.noiseTableWindow());
        f.window.OnSysCommand(kSysNoiseTable);
        NoiseTableWindow* table = f.window.noiseTableWindow();
        QVERIFY(table && table->isVisible() && table->isWindow());
        QCOMPARE(table->windowTitle(), QString("Noise Table"));
        table->close();
        QVERIFY(!table->isVisible());

        f.panelControl<QPushButton>("noiseTableButton")->click();
        QCOMPARE(f.window.noiseTableWindow(), table);
        QVERIFY(table->isVisible());
    }

    // The button goes where the panel's layout left room: inside the panel,
    // over no other control.
    void buttonSitsInFreeSpace() {
        NoiseTableLink f;
        auto* button = f.panelControl<QPushButton>("noiseTableButton");
        QVERIFY(button);
        QCOMPARE(button->text(), QString("Noise Table"));
        QWidget* panel = f.panelControl("devicePanel");
        QVERIFY(panel->rect().contains(button->geometry()));
        for (auto* child : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child != button && child->isVisible()) {
                QVERIFY2(!child->geometry().intersects(button->geometry()),
                         qPrintable(child->objectName()));
            }
        }
    }

    // While the run talks to the EVM the panel's collection does nothing;
    // once it has ended the panel collects again.
    void thePanelWaitsForTheRun() {
        NoiseTableLink f;
        f.window.OnSysCommand(kSysNoiseTable);
        for (const char* gain : {"2", "4", "8", "16", "32", "64"}) {
            f.tableControl<QCheckBox>(gain)->setChecked(false);
        }
        for (const char* rate : {"10 SPS", "100 SPS", "1000 SPS"}) {
            f.tableControl<QCheckBox>(rate)->setChecked(false);
        }
        f.tableControl<QSpinBox>("Results per cell")->setValue(16);
        f.panelControl<QLineEdit>("dataCount")->setText("20");
        int busyDuring = 0;
        QObject::connect(f.tableControl<QProgressBar>("Cell progress"), &QProgressBar::valueChanged,
                         [&](int value) {
                             if (value > 50 && busyDuring == 0) {
                                 busyDuring = f.window.panelData().busy;
                                 f.panelControl<QPushButton>("startButton")->click();
                             }
                         });
        f.tableControl<QPushButton>("Start")->click();

        QCOMPARE(busyDuring, 1);
        QCOMPARE(f.window.noiseTableWindow()->cells().size(), std::size_t(1));
        QVERIFY(f.window.panelData().samples.empty());
        QCOMPARE(f.window.panelData().busy, 0);
        f.panelControl<QPushButton>("startButton")->click();
        QCOMPARE(f.window.panelData().samples.size(), std::size_t(20));
    }
};

}  // namespace

ORV_REGISTER_TEST(NoiseTableLinkTest);
#include "test_noise_table_link.moc"
