#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "app/main_window.h"
#include "link/link.h"
#include "link/qt_serial_device.h"
#include "recording_prompts.h"
#include "sim/sim_bus.h"
#include "sim_process.h"

using namespace orv;

namespace {

// The main window over an in-memory bus with ports ttyS0 and ttyS1.
struct Window {
    Window() : link({"/dev/ttyS0", "/dev/ttyS1"}, bus.factory(), clock), window(link, prompts) {
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

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void selectorOffersTheEvmTable() {
        Window w;
        QCOMPARE(w.selector()->count(), 1);
        QCOMPARE(w.selector()->currentText(), QString("VXR5307"));
        QCOMPARE(w.selector()->currentData().toInt(), 1);
        QCOMPARE(w.selector()->accessibleName(), QString("EVM Module"));
    }

    void detectShowsThePortThatAnswered() {
        Window w;
        w.bus.addEvm("/dev/ttyS1");
        QTest::mouseClick(w.detect(), Qt::LeftButton);
        QCOMPARE(w.status(), QString("ttyS1"));
        QVERIFY(w.link.isOpen());
        QVERIFY(w.prompts.messages.empty());
    }

    void detectWithoutEvmShowsNotFound() {
        Window w;
        QTest::mouseClick(w.detect(), Qt::LeftButton);
        QCOMPARE(w.status(), QString("Not Found"));
        QCOMPARE(w.prompts.texts(), std::vector<std::string>{"Can't find VXR5307 !"});
    }

    // The bus refuses a second open of an open port, as the lock file does:
    // a second scan finds the EVM only if the first port was closed.
    void secondPressClosesThePortFirst() {
        Window w;
        auto& evm = w.bus.addEvm("/dev/ttyS0");
        QTest::mouseClick(w.detect(), Qt::LeftButton);
        QCOMPARE(w.status(), QString("ttyS0"));
        evm.clearFrames();
        QTest::mouseClick(w.detect(), Qt::LeftButton);
        QCOMPARE(w.status(), QString("ttyS0"));
        QCOMPARE(w.bus.openCount("/dev/ttyS0"), 2);
        QCOMPARE(evm.frames().size(), std::size_t{2});
    }

    void noSelectionScansWithTypeMinusOneAndSaysNothing() {
        Window w;
        auto& evm = w.bus.addEvm("/dev/ttyS0");
        w.selector()->setCurrentIndex(-1);
        QTest::mouseClick(w.detect(), Qt::LeftButton);
        QCOMPARE(w.status(), QString("Not Found"));
        QVERIFY(w.prompts.messages.empty());
        QCOMPARE(evm.frames().at(0)[1], std::uint8_t{0xFF});
    }

    void pressWhileAScanShowsItsMessageIsIgnored() {
        Window w;
        int presses = 0;
        w.prompts.whileOpen = [&](const test::RecordedMessage&) {
            if (presses++ == 0) {
                w.detect()->click();
            }
        };
        w.detect()->click();
        QCOMPARE(w.prompts.messages.size(), std::size_t{1});
    }

    void enterAndEscapeCloseNothing() {
        Window w;
        w.bus.addEvm("/dev/ttyS0");
        w.window.activateWindow();
        w.detect()->setFocus();
        for (const auto key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
            QTest::keyClick(&w.window, key);
            QTest::keyClick(w.detect(), key);
            QTest::keyClick(w.selector(), key);
        }
        QVERIFY(w.window.isVisible());
        QCOMPARE(w.status(), QString());  // Enter did not press the focused button
    }

    void windowMenuHasTheSystemCommands() {
        Window w;
        const auto* menu = w.window.findChild<QMenu*>("windowMenu");
        QStringList items;
        for (const QAction* action : menu->actions()) {
            items << (action->isSeparator() ? QString("-") : action->text());
        }
        QCOMPARE(items, (QStringList{"&Close", "-", "Load Profile", "Save Profile", "-",
                                     "&About Orvellin..."}));
        w.window.OnSysCommand(kSysClose | 0x000F);
        QVERIFY(!w.window.isVisible());
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

QTEST_MAIN(MainWindowTest)

#include "test_main_window.moc"
