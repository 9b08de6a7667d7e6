// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>

#include "link/detect.h"
#include "recording_prompts.h"
#include "sim/sim_bus.h"
#include "test_registry.h"

using namespace orv;

namespace {

// Candidate ports 1 to 6: COM1..COM6 on an in-memory bus where only the
// ports a test adds exist.
struct Scan {
    ManualClock clock;
    sim::SimBus bus{clock};
    test::RecordingPrompts prompts;
    Link link{{"COM1", "COM2", "COM3", "COM4", "COM5", "COM6"}, bus.factory(), clock};
};

class DetectTest : public QObject {
    Q_OBJECT
private slots:
    void firstAnsweringPortWinsAndLaterPortsAreNotOpened() {
        Scan scan;
        auto& third = scan.bus.addEvm("COM3");
        scan.bus.addEvm("COM5");
        QCOMPARE(DetectEvm(scan.link, scan.prompts, 1), 3);
        QVERIFY(scan.link.isOpen());
        QCOMPARE(scan.link.evmType(), 1);
        QCOMPARE(scan.bus.openCount("COM5"), 0);
        QVERIFY(scan.prompts.messages.empty());
        const std::vector<Frame> expected = {{0x55, 0x01, 0xF0, 0x00, 0x00, 0x0F},
                                             {0x55, 0x01, 0x0A, 0x00, 0x00, 0xF5}};
        QCOMPARE(third.frames(), expected);
    }

    void wrongHandshakeIsSkippedSilently() {
        Scan scan;
        scan.bus.addEvm("COM2", {.fault = {.kind = sim::FaultKind::WrongHandshake}});
        scan.bus.addEvm("COM3");
        QCOMPARE(DetectEvm(scan.link, scan.prompts, 1), 3);
        QVERIFY(scan.prompts.messages.empty());
        QVERIFY(!scan.bus.isOpen("COM2"));
    }

    void failingResetIsReportedAndTheScanGoesOn() {
        Scan scan;
        scan.bus.addEvm("COM2", {.fault = {.kind = sim::FaultKind::FailingReset}});
        scan.bus.addEvm("COM4");
        scan.prompts.whileOpen = [&scan](const test::RecordedMessage&) {
            QVERIFY(scan.bus.isOpen("COM2"));  // the box shows before the port closes
        };
        QCOMPARE(DetectEvm(scan.link, scan.prompts, 1), 4);
        QCOMPARE(scan.prompts.messages.size(), std::size_t{1});
        QCOMPARE(scan.prompts.messages[0].text, std::string("Reset EVM failed !"));
        QCOMPARE(scan.prompts.messages[0].caption, std::string("Error"));
        QCOMPARE(scan.prompts.messages[0].owner, nullptr);
        QVERIFY(!scan.bus.isOpen("COM2"));
    }

    void silentDevicesAndMissingPortsAreSkipped() {
        Scan scan;
        scan.bus.addSilentPort("COM1");
        scan.bus.addEvm("COM2", {.fault = {.kind = sim::FaultKind::NoAnswer}});
        scan.bus.addEvm("COM6");
        QCOMPARE(DetectEvm(scan.link, scan.prompts, 1), 6);
        QVERIFY(scan.prompts.messages.empty());
    }

    void nothingFound_data() {
        QTest::addColumn<int>("typeCode");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("known type") << 1 << QStringList{"Can't find VXR5307 !"};
        QTest::newRow("unknown type") << -1 << QStringList{};
    }
    void nothingFound() {
        QFETCH(int, typeCode);
        QFETCH(QStringList, messages);
        Scan scan;
        scan.bus.addSilentPort("COM2");
        QCOMPARE(DetectEvm(scan.link, scan.prompts, typeCode), -1);
        QVERIFY(!scan.link.isOpen());
        QCOMPARE(scan.link.evmType(), -1);
        QStringList shown;
        for (const auto& message : scan.prompts.messages) {
            shown << QString::fromStdString(message.text);
            QCOMPARE(message.caption, std::string("Error"));
            QCOMPARE(message.owner, nullptr);
        }
        QCOMPARE(shown, messages);
    }
};

}  // namespace

ORV_REGISTER_TEST(DetectTest);

#include "test_detect.moc"
