// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAccessible>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "app/main_window.h"
#include "controls/value_label.h"
#include "device/panel.h"
#include "device/panel_data.h"
#include "link/link.h"
#include "link/port_catalog.h"
#include "link/qt_serial_device.h"
#include "recording_prompts.h"
#include "sim/pty_server.h"
#include "sim/sim_bus.h"
#include "test_registry.h"

using namespace orv;

namespace {

using namespace std::chrono_literals;

// Registers a profile shows plainly: MUX 0x23 is no power-on value.
sim::Registers distinctRegisters() {
    sim::Registers registers = sim::kPowerOnRegisters;
    registers[MUX] = 0x23;
    return registers;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What a user and a screen reader see and do in the main window, whatever
// the link underneath.
struct Desk {
    Desk(Link& link, Prompts& prompts) : window(link, prompts) { window.show(); }

    void detect() { window.findChild<QPushButton*>("detectEvmButton")->click(); }
    ZN410Dlg* panel() { return window.findChild<ZN410Dlg*>("devicePanel"); }
    ValueLabel* portStatus() { return window.findChild<ValueLabel*>("portStatus"); }
    QString status() { return portStatus()->text(); }
    // What assistive technology reads as the port status's value.
    QString spokenStatus() {
        return QAccessible::queryAccessibleInterface(portStatus())->text(QAccessible::Value);
    }
    void collect(const QString& count) {
        panel()->findChild<QLineEdit*>("dataCount")->setText(count);
        panel()->findChild<QPushButton*>("startButton")->click();
    }
    QString path(const QString& name) const {
        return QDir::toNativeSeparators(folder.filePath(name));
    }
    void saveProfile(test::RecordingPrompts& prompts, const QString& name) {
        prompts.fileAnswers.push_back(path(name).toStdString());
        window.OnSysCommand(kSysSaveProfile);
    }
    void saveFile(test::RecordingPrompts& prompts, const QString& name) {
        prompts.fileAnswers.push_back(path(name).toStdString());
        panel()->findChild<QPushButton*>("saveFileButton")->click();
    }

    COrvellinDlg window;
    QTemporaryDir folder;
};

// The main window over an in-memory bus whose system port list the test
// changes between presses of "Detect EVM"; ttyS9, which answers nothing, is
// named on the command line, and the system lists it too.
struct HotPlugFixture {
    HotPlugFixture()
        : link([this] { return candidatePorts(Platform::Other, {"/dev/ttyS9"}, "", listed); },
               bus.factory(), clock),
          desk(link, prompts) {
        bus.addSilentPort("/dev/ttyS9");
    }
    // A board appears under `name` and the system lists it.
    sim::EvmModel& plugIn(const std::string& name) {
        listed.push_back(name);
        return bus.addEvm(name, sim::EvmConfig{.powerOn = distinctRegisters()});
    }
    // The board goes away and the system no longer lists it.
    void unplug(const std::string& name) {
        std::erase(listed, name);
        bus.unplug(name);
    }

    std::vector<std::string> listed{"/dev/ttyS9"};
    ManualClock clock;
    sim::SimBus bus{clock};
    test::RecordingPrompts prompts;
    Link link;
    Desk desk;
};

class LostBoardTest final : public QObject {
    Q_OBJECT
private slots:
    // The system's ports are listed at every press: a board plugged in after
    // start is found, one that comes back under a new name too, and a port
    // named on the command line and listed by the system is tried once.
    void findsBoardsWhereverTheyAppear() {
        HotPlugFixture f;
        f.desk.detect();
        QCOMPARE(f.desk.status(), QString("Not Found"));
        QCOMPARE(f.bus.openCount("/dev/ttyS9"), 1);

        f.plugIn("/dev/ttyUSB0");
        f.desk.detect();
        QCOMPARE(f.desk.status(), QString("ttyUSB0"));
        QCOMPARE(f.bus.openCount("/dev/ttyS9"), 2);

        f.unplug("/dev/ttyUSB0");
        f.plugIn("/dev/ttyUSB1");
        f.desk.detect();
        QCOMPARE(f.desk.status(), QString("ttyUSB1"));
        QCOMPARE(f.desk.spokenStatus(), QString("ttyUSB1"));
        QVERIFY(f.desk.panel());
    }

    // Gone while the panel is idle: "Disconnected" at once; the panel keeps
    // its block and its registers, and both can still be saved.
    void aBoardGoneWhileIdleKeepsEverything() {
        HotPlugFixture f;
        f.plugIn("/dev/ttyUSB0");
        f.desk.detect();
        f.desk.collect("20");
        const SampleList block = f.desk.window.panelData().samples;
        QCOMPARE(block.size(), std::size_t{20});

        f.unplug("/dev/ttyUSB0");
        QCOMPARE(f.desk.status(), QString("Disconnected"));
        QCOMPARE(f.desk.spokenStatus(), QString("Disconnected"));
        QVERIFY(!f.link.isOpen());
        QVERIFY(f.desk.panel());
        QCOMPARE(f.desk.window.panelData().samples, block);

        f.desk.saveProfile(f.prompts, "kept.ini");
        QVERIFY(contents(f.desk.path("kept.ini")).contains("MUX=0x23\r\n"));
        f.desk.saveFile(f.prompts, "kept.txt");
        QCOMPARE(contents(f.desk.path("kept.txt")).size(), 20 * 11);
        QCOMPARE(contents(f.desk.path("kept.bin")).size(), 20 * 4);
        QVERIFY(f.prompts.messages.empty());
    }

    // Gone during a collection: the status says so before the collection's
    // own message, and the previous block stays on the chart.
    void aBoardGoneDuringACollectionKeepsThePreviousBlock() {
        HotPlugFixture f;
        auto& evm = f.plugIn("/dev/ttyUSB0");
        f.desk.detect();
        f.desk.collect("20");
        const SampleList block = f.desk.window.panelData().samples;

        evm.setFault({.kind = sim::FaultKind::HangUpAfter, .count = 5});
        QString statusDuringMessage;
        f.prompts.whileOpen = [&](const test::RecordedMessage&) {
            statusDuringMessage = f.desk.status();
        };
        f.desk.collect("45");
        QCOMPARE(f.prompts.texts(), std::vector<std::string>{"Get item 5 failed !"});
        QCOMPARE(statusDuringMessage, QString("Disconnected"));
        QCOMPARE(f.desk.window.panelData().samples, block);

        f.desk.saveProfile(f.prompts, "after.ini");
        QVERIFY(contents(f.desk.path("after.ini")).contains("MUX=0x23\r\n"));
    }

    // Through the real serial port: the far end of the pseudo-terminal
    // closes while the panel is idle, and the port reports it without any
    // exchange; then the board comes back on another terminal.
    void aHungUpTerminalIsNoticedWhileIdle() {
        auto first =
            std::make_unique<sim::PtyServer>(sim::EvmConfig{.powerOn = distinctRegisters()});
        QVERIFY2(first->start(), first->error().c_str());
        RealDesk f({first->path()});
        f.desk.detect();
        QCOMPARE(f.desk.status(), QString::fromStdString(displayNameOfPort(first->path())));
        f.desk.collect("20");
        const SampleList block = f.desk.window.panelData().samples;
        QCOMPARE(block.size(), std::size_t{20});

        // The board's next terminal, opened first so that it gets a new name.
        sim::PtyServer second;
        QVERIFY2(second.start(), second.error().c_str());

        first->stop();
        QTRY_COMPARE_WITH_TIMEOUT(f.desk.status(), QString("Disconnected"), 3000);
        QCOMPARE(f.desk.window.panelData().samples, block);
        f.desk.saveProfile(f.prompts, "idle.ini");
        QVERIFY(contents(f.desk.path("idle.ini")).contains("MUX=0x23\r\n"));

        // The system lists the board's new terminal only: the old name may
        // already belong to another program's terminal.
        f.ports = {second.path()};
        f.desk.detect();
        QCOMPARE(f.desk.status(), QString::fromStdString(displayNameOfPort(second.path())));
        QVERIFY(f.prompts.messages.empty());
    }

    // The terminal closes in the middle of a paced collection.
    void aHungUpTerminalEndsACollection() {
        sim::PtyServer server(sim::EvmConfig{.powerOn = distinctRegisters()}, sim::Wire::Paced);
        QVERIFY2(server.start(), server.error().c_str());
        RealDesk f({server.path()});
        f.desk.detect();
        f.desk.collect("20");
        const SampleList block = f.desk.window.panelData().samples;

        // 2000 items take 0.7 s on the wire.
        QTimer::singleShot(150ms, f.desk.panel(), [&server] { server.stop(); });
        QString statusDuringMessage;
        f.prompts.whileOpen = [&](const test::RecordedMessage&) {
            statusDuringMessage = f.desk.status();
        };
        f.desk.collect("2000");
        QCOMPARE(f.prompts.messages.size(), std::size_t{1});
        QVERIFY2(f.prompts.messages[0].text.starts_with("Get item "),
                 f.prompts.messages[0].text.c_str());
        QCOMPARE(statusDuringMessage, QString("Disconnected"));
        QCOMPARE(f.desk.status(), QString("Disconnected"));
        QCOMPARE(f.desk.window.panelData().samples, block);
        f.desk.saveProfile(f.prompts, "collecting.ini");
        QVERIFY(contents(f.desk.path("collecting.ini")).contains("MUX=0x23\r\n"));
    }

private:
    // The main window over the real serial port, trying `ports`.
    struct RealDesk {
        explicit RealDesk(std::vector<std::string> initial)
            : ports(std::move(initial)),
              link([this] { return ports; }, [] { return std::make_unique<QtSerialDevice>(); },
                   clock),
              desk(link, prompts) {}

        std::vector<std::string> ports;
        SystemClock clock;
        test::RecordingPrompts prompts;
        Link link;
        Desk desk;
    };
};

}  // namespace

ORV_REGISTER_TEST(LostBoardTest);
#include "test_lost_board.moc"
