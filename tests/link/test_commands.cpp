// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>

#include "link/commands.h"
#include "recording_prompts.h"
#include "sim/sim_bus.h"
#include "test_registry.h"

using namespace orv;

namespace {

// A link connected to one simulated EVM, as after a detection.
struct Connected {
    explicit Connected(sim::Fault fault = {}) : evm(bus.addEvm("COM1", {.fault = fault})) {
        link.OpenPort(1);
        link.setEvmType(1);
    }
    std::vector<std::string> shown() const { return prompts.texts(); }

    ManualClock clock;
    sim::SimBus bus{clock};
    sim::EvmModel& evm;
    test::RecordingPrompts prompts;
    Link link{{"COM1"}, bus.factory(), clock};
};

sim::Fault onCommand(sim::FaultKind kind, Command command) {
    return {.kind = kind, .command = command};
}

using Strings = std::vector<std::string>;

class CommandTest : public QObject {
    Q_OBJECT
private slots:
    void registerWriteFromAPageIsSilent() {
        Connected ok;
        QVERIFY(WriteRegister(ok.link, 0x03, 0x23));
        QCOMPARE(ok.evm.registerValue(0x03), std::uint8_t{0x23});
        Connected wrong(onCommand(sim::FaultKind::WrongCheck, Command::WriteReg));
        QVERIFY(!WriteRegister(wrong.link, 0x03, 0x23));
        QVERIFY(wrong.prompts.messages.empty());
    }

    void registerWriteFromAllRegsReportsTheAddress() {
        Connected conn({.kind = sim::FaultKind::WrongStatus, .address = 0x03});
        QVERIFY(WriteRegisterOrReport(conn.link, conn.prompts, nullptr, 0x02, 0x11));
        QVERIFY(!WriteRegisterOrReport(conn.link, conn.prompts, nullptr, 0x03, 0x22));
        QCOMPARE(conn.shown(), Strings{"Write register 03 fail !"});
        QCOMPARE(conn.prompts.messages[0].caption, std::string("Error !"));
    }

    // Every register reader applies a read the same way: value, 0, unchanged.
    void registerRead_data() {
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("byteAfter");
        QTest::newRow("good") << int(sim::FaultKind::None) << int(RegisterRead::Outcome::Good)
                              << 0x20;
        QTest::newRow("wrong sum")
            << int(sim::FaultKind::WrongCheck) << int(RegisterRead::Outcome::Mismatch) << 0x00;
        QTest::newRow("no answer")
            << int(sim::FaultKind::NoAnswer) << int(RegisterRead::Outcome::Failed) << 0x77;
    }
    void registerRead() {
        QFETCH(int, fault);
        QFETCH(int, outcome);
        QFETCH(int, byteAfter);
        Connected conn({.kind = sim::FaultKind(fault), .address = 0x02});
        const RegisterRead read = ReadRegister(conn.link, 0x02);
        QCOMPARE(int(read.outcome), outcome);
        QCOMPARE(int(read.appliedTo(0x77)), byteAfter);

        Connected panel({.kind = sim::FaultKind(fault), .address = 0x02});
        std::uint8_t image = 0x77;
        const bool good = ReadRegisterOrReport(panel.link, panel.prompts, nullptr, 0x02, image);
        QCOMPARE(int(image), byteAfter);
        QCOMPARE(good, outcome == int(RegisterRead::Outcome::Good));
        QCOMPARE(panel.shown(), good ? Strings{} : Strings{"Read Register Address 02 Failed !"});
        if (!good) {
            QCOMPARE(panel.prompts.messages[0].caption, std::string("Error occured !"));
        }
    }

    void calibrationSetDoesNotLookAtTheReply() {
        Connected conn(onCommand(sim::FaultKind::WrongStatus, Command::WriteReg));
        SetCalibrationRegister(conn.link, 0x05, 0x3C);
        QCOMPARE(conn.evm.registerValue(0x05), std::uint8_t{0x3C});
        QVERIFY(conn.prompts.messages.empty());
    }

    void selfCalibrationWaitsAndReportsNothingOfTheReply() {
        Connected conn(onCommand(sim::FaultKind::WrongStatus, Command::SelfCal));
        const auto before = conn.clock.now();
        QCOMPARE(SelfCalibrate(conn.link, conn.clock, conn.prompts, nullptr),
                 SelfCalibration::NotAnswered);
        QVERIFY(conn.clock.now() - before >= std::chrono::milliseconds(200));
        QVERIFY(conn.prompts.messages.empty());

        Connected good;
        QCOMPARE(SelfCalibrate(good.link, good.clock, good.prompts, nullptr),
                 SelfCalibration::Answered);

        Connected closed;
        closed.link.ClosePort();
        QCOMPARE(SelfCalibrate(closed.link, closed.clock, closed.prompts, nullptr),
                 SelfCalibration::NotSent);
        QCOMPARE(closed.shown(), Strings{"Self calibration failed !"});
    }

    void calibrations_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("failure");
        QTest::newRow("self offset") << 0x04 << "Self offset calibration failed !";
        QTest::newRow("self gain") << 0x05 << "Self gain calibration failed !";
        QTest::newRow("system offset") << 0x06 << "System offset calibration failed !";
        QTest::newRow("system gain") << 0x07 << "System gain calibration failed !";
    }
    void calibrations() {
        QFETCH(int, command);
        QFETCH(QString, failure);
        const auto code = Command(command);
        const Strings failed{failure.toStdString()};
        Connected ok;
        QVERIFY(Calibrate(ok.link, ok.prompts, nullptr, code));
        QVERIFY(ok.prompts.messages.empty());
        // Answered with the code of the calibration before it: 00 00 06 for system gain.
        Connected wrong({.kind = sim::FaultKind::ExactReply,
                         .command = code,
                         .reply = {0, 0, std::uint8_t(command - 1)}});
        QVERIFY(!Calibrate(wrong.link, wrong.prompts, nullptr, code));
        QCOMPARE(wrong.shown(), failed);
        QCOMPARE(wrong.prompts.messages[0].caption, std::string("Error"));
        Connected silent(onCommand(sim::FaultKind::NoAnswer, code));
        QVERIFY(!Calibrate(silent.link, silent.prompts, nullptr, code));
        QCOMPARE(silent.shown(), failed);
        Connected closed;
        closed.link.ClosePort();
        QVERIFY(!Calibrate(closed.link, closed.prompts, nullptr, code));
        QCOMPARE(closed.shown(), failed);
    }

    void powerCommands_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("noReplyShowsEmptyBox");
        QTest::newRow("standby") << 0x08 << true;
        QTest::newRow("power down") << 0x09 << false;
        QTest::newRow("wakeup") << 0x0C << false;
    }
    void powerCommands() {
        QFETCH(int, command);
        QFETCH(bool, noReplyShowsEmptyBox);
        const auto code = Command(command);
        Connected ok;
        QVERIFY(SendPowerCommand(ok.link, ok.prompts, nullptr, code));
        QVERIFY(ok.prompts.messages.empty());
        Connected wrong(onCommand(sim::FaultKind::WrongCheck, code));
        QVERIFY(!SendPowerCommand(wrong.link, wrong.prompts, nullptr, code));
        QVERIFY(wrong.prompts.messages.empty());
        Connected silent(onCommand(sim::FaultKind::NoAnswer, code));
        QVERIFY(!SendPowerCommand(silent.link, silent.prompts, nullptr, code));
        QCOMPARE(silent.shown(), noReplyShowsEmptyBox ? Strings{""} : Strings{});
        if (noReplyShowsEmptyBox) {
            QCOMPARE(silent.prompts.messages[0].caption, std::string());
        }
        Connected closed;
        closed.link.ClosePort();
        QVERIFY(!SendPowerCommand(closed.link, closed.prompts, nullptr, code));
        QCOMPARE(closed.shown(), Strings{"Send command failed !"});
        QCOMPARE(closed.prompts.messages[0].caption, std::string("Error"));
    }

    void dataItems() {
        Connected conn({.kind = sim::FaultKind::BadChecksum, .items = {3, 7}});
        QCOMPARE(SendReadData(conn.link, conn.prompts, nullptr, 10), 0);
        std::vector<std::uint8_t> block(40);
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(ReceiveItem(conn.link, conn.prompts, nullptr, i,
                                 std::span<std::uint8_t, 4>(block.data() + 4 * i, 4)),
                     0);
        }
        QCOMPARE(firstBadItem(block), 3);
        QCOMPARE(CheckItems(conn.prompts, nullptr, block), 13);
        QCOMPARE(conn.shown(), Strings{"The checksum of item 3 is invalid !"});
        QCOMPARE(conn.prompts.messages[0].caption, std::string("Error !"));
        // The next item never comes.
        std::array<std::uint8_t, 4> item{};
        QCOMPARE(ReceiveItem(conn.link, conn.prompts, nullptr, 10, item), 30);
        QCOMPARE(conn.shown().back(), std::string("Get item 10 failed !"));

        Connected closed;
        closed.link.ClosePort();
        QCOMPARE(SendReadData(closed.link, closed.prompts, nullptr, 45), 6);
        QCOMPARE(closed.shown(), Strings{"Send command failed !"});
    }
};

}  // namespace

ORV_REGISTER_TEST(CommandTest);

#include "test_commands.moc"
