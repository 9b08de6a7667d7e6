// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/main_window.h"
#include "app/version_info.h"
#include "link/link.h"
#include "link/qt_serial_device.h"
#include "main_window_fixture.h"
#include "recording_prompts.h"
#include "sim_process.h"
#include "test_registry.h"

using namespace orv;

namespace {

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void selectorOffersTheEvmTable() {
        test::Window w;
        QCOMPARE(w.selector()->count(), 1);
        QCOMPARE(w.selector()->currentText(), QString("VXR5307"));
        QCOMPARE(w.selector()->currentData().toInt(), 1);
        QCOMPARE(w.selector()->accessibleName(), QString("EVM Module"));
    }

    void detectShowsThePortThatAnswered() {
        test::Window w;
        w.bus.addEvm("/dev/ttyS1");
        QTest::mouseClick(w.detect(), Qt::LeftButton);
        QCOMPARE(w.status(), QString("ttyS1"));
        QVERIFY(w.link.isOpen());
        QVERIFY(w.prompts.messages.empty());
    }

    void detectWithoutEvmShowsNotFound() {
        test::Window w;
        QTest::mouseClick(w.detect(), Qt::LeftButton);
        QCOMPARE(w.status(), QString("Not Found"));
        QCOMPARE(w.prompts.texts(), std::vector<std::string>{"Can't find VXR5307 !"});
    }

    // The bus refuses a second open of an open port, as the lock file does:
    // a second scan finds the EVM only if the first port was closed.
    void secondPressClosesThePortFirst() {
        test::Window w;
        auto& evm = w.bus.addEvm("/dev/ttyS0");
        QTest::mouseClick(w.detect(), Qt::LeftButton);
        QCOMPARE(w.status(), QString("ttyS0"));
        evm.clearFrames();
        QTest::mouseClick(w.detect(), Qt::LeftButton);
        QCOMPARE(w.status(), QString("ttyS0"));
        QCOMPARE(w.bus.openCount("/dev/ttyS0"), 2);
        // The handshake and the reset, then the new panel's register Read.
        QCOMPARE(evm.frames().size(), std::size_t{2 + 11});
        QCOMPARE(evm.frames()[0][2], std::uint8_t(Command::Handshake));
        QCOMPARE(evm.frames()[1][2], std::uint8_t(Command::Reset));
    }

    void noSelectionScansWithTypeMinusOneAndSaysNothing() {
        test::Window w;
        auto& evm = w.bus.addEvm("/dev/ttyS0");
        w.selector()->setCurrentIndex(-1);
        QTest::mouseClick(w.detect(), Qt::LeftButton);
        QCOMPARE(w.status(), QString("Not Found"));
        QVERIFY(w.prompts.messages.empty());
        QCOMPARE(evm.frames().at(0)[1], std::uint8_t{0xFF});
    }

    void pressWhileAScanShowsItsMessageIsIgnored() {
        test::Window w;
        int presses = 0;
        w.prompts.whileOpen = [&](const test::RecordedMessage&) {
            if (presses++ == 0) {
                w.detect()->click();
            }
        };
        w.detect()->click();
        QCOMPARE(w.prompts.messages.size(), std::size_t{1});
    }

    // With "Detect EVM" as the default button, Enter would press it and
    // Escape would close the window, were it not for the filter.
    void enterAndEscapeCloseNothing() {
        test::Window w;
        w.bus.addEvm("/dev/ttyS0");
        w.detect()->setDefault(true);
        w.window.activateWindow();
        w.detect()->setFocus();
        for (const auto key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(&w.window, key);
            QTest::keyClick(w.detect(), key);
            QTest::keyClick(w.selector(), key);
        }
        QVERIFY(w.window.isVisible());
        QCOMPARE(w.status(), QString());  // Enter did not press the focused button
    }

    void windowMenuHasTheSystemCommands() {
        test::Window w;
        const auto* menu = w.window.findChild<QMenu*>("windowMenu");
        QStringList items;
        for (const QAction* action : menu->actions()) {
            items << (action->isSeparator() ? QString("-") : action->text());
        }
        QCOMPARE(items, (QStringList{"&Close", "-", "Load Profile", "Save Profile", "Analysis",
                                     "Open Capture\u2026", "Open Trend\u2026", "Noise Table\u2026",
                                     "-", "&About Orvellin..."}));
        w.window.OnSysCommand(kSysClose | 0x000F);
        QVERIFY(!w.window.isVisible());
    }

    void titleCarriesTheProductVersion() {
        const VersionResource resource = test::productVersion2017();
        test::Window w(&resource);
        QCOMPARE(w.window.windowTitle(), QString("test_app v2.0.1.7"));
        QVERIFY(w.window.programFolder().ends_with(QDir::separator().toLatin1()));
        QCOMPARE(w.window.panelData().dataFolder, w.window.programFolder());
    }

    void withoutVersionTheTitleAndProgramFolderStayEmpty() {
        test::Window w;
        QCOMPARE(w.window.windowTitle(), QString());
        QCOMPARE(w.window.programFolder(), std::string());
    }

    // The About box is modal: it is read and closed from inside its own loop.
    void aboutCommandShowsTheVersion() {
        const VersionResource resource = test::productVersion2017();
        test::Window w(&resource);
        COrvellinDlg& window = w.window;
        QString versionLine;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(box);
            versionLine = box->findChild<QLabel*>("versionLine")->text();
            QTest::keyClick(box, Qt::Key_Escape);
        });
        QAction* about = window.findChild<QMenu*>("windowMenu")->actions().last();
        about->trigger();
        QCOMPARE(versionLine, QString("AP Version : 2.0.1.7_x"));
        QVERIFY(window.isVisible());
    }

    void findsTheSimulatorThroughTheRealSerialPort() {
        test::SimProcess simulator;
        QVERIFY(!simulator.path().isEmpty());
        SystemClock clock;
        test::RecordingPrompts prompts;
        Link link(
            {"/dev/orvellin-no-such-port", simulator.port()},
            [] { return std::make_unique<QtSerialDevice>(); }, clock);
        COrvellinDlg window(link, prompts);
        window.findChild<QPushButton*>("detectEvmButton")->click();
        QCOMPARE(window.findChild<QLabel*>("portStatus")->text(),
                 QString(simulator.path()).remove("/dev/"));
        QVERIFY(prompts.messages.empty());
    }
};

}  // namespace

ORV_REGISTER_TEST(MainWindowTest);

#include "test_main_window.moc"
