// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>

#include "sim/sim_bus.h"
#include "sim_helpers.h"
#include "test_registry.h"

using namespace orv;
using namespace orv::test;
using namespace std::chrono_literals;
using sim::FaultKind;

namespace {

// A bus on a manual clock with one device from its factory.
struct Bench {
    explicit Bench(sim::EvmConfig config = {}, sim::Wire wire = sim::Wire::Instant)
        : evm(bus.addEvm("COM1", std::move(config), wire)) {
        bus.addSilentPort("COM2");
    }

    IoStatus send(const Frame& frame) { return device->write(frame, 1000ms); }

    // One read into a buffer of `size` bytes; what it got as hex.
    QByteArray read(std::size_t size, std::chrono::milliseconds bound, IoStatus expected) {
        Bytes buffer(size);
        const ReadResult result = device->read(buffer, bound);
        if (result.status != expected) {
            return "unexpected status";
        }
        buffer.resize(result.count);
        return toHex(buffer);
    }

    std::chrono::nanoseconds elapsed() const { return clock.now() - start; }

    ManualClock clock;
    sim::SimBus bus{clock};
    sim::EvmModel& evm;
    std::unique_ptr<SerialDevice> device = bus.factory()();
    const Clock::TimePoint start = clock.now();
};

class SimBusTest : public QObject {
    Q_OBJECT
private slots:
    void opensOnlyNamesOnTheBus() {
        Bench bench;
        QVERIFY(!bench.device->open("COM3"));
        QCOMPARE(bench.bus.openCount("COM3"), 0);
        QVERIFY(bench.device->open("COM1"));
        QVERIFY(bench.bus.isOpen("COM1"));
        const auto second = bench.bus.factory()();
        QVERIFY(!second->open("COM1"));
        QVERIFY(second->open("COM2"));
        bench.device->close();
        QVERIFY(!bench.bus.isOpen("COM1"));
        QVERIFY(bench.device->open("COM1"));
        QCOMPARE(bench.bus.openCount("COM1"), 2);
        QCOMPARE(bench.bus.openCount("COM2"), 1);
    }

    void modelOutlivesTheOpen() {
        Bench bench;
        QVERIFY(bench.device->open("COM1"));
        bench.send(CommandFrame(1, Command::WriteReg, 0x03, 0x23));
        bench.device->close();
        QVERIFY(bench.device->open("COM1"));
        bench.send(CommandFrame(1, Command::ReadReg, 0x03));
        QCOMPARE(bench.read(3, 1000ms, IoStatus::Ok), QByteArray("00 23 28"));
        QCOMPARE(bench.evm.frames().size(), std::size_t{2});
    }

    void closedDeviceIsLost() {
        Bench bench;
        QCOMPARE(bench.send(CommandFrame(1, Command::Handshake)), IoStatus::Lost);
        QCOMPARE(bench.read(3, 1000ms, IoStatus::Lost), QByteArray());
        QVERIFY(bench.device->open("COM1"));
        bench.device->close();
        QCOMPARE(bench.send(CommandFrame(1, Command::Handshake)), IoStatus::Lost);
    }

    void answerIsThereAtOnce() {
        Bench bench;
        QVERIFY(bench.device->open("COM1"));
        bench.send(CommandFrame(1, Command::Handshake));
        QCOMPARE(bench.read(2, 1000ms, IoStatus::Ok), QByteArray("00 00"));
        QCOMPARE(bench.read(4, 1000ms, IoStatus::Ok), QByteArray("F0"));
        QCOMPARE(bench.elapsed(), 0ns);
    }

    void timeOutMovesTheClockByTheBound() {
        Bench bench;
        QVERIFY(bench.device->open("COM2"));
        QCOMPARE(bench.send(CommandFrame(1, Command::Handshake)), IoStatus::Ok);
        QCOMPARE(bench.read(3, 1000ms, IoStatus::TimedOut), QByteArray());
        QCOMPARE(bench.elapsed(), 1000ms);
    }

    void slowAnswerArrivesAtItsTime() {
        Bench bench({.fault = {.kind = FaultKind::Slow, .delay = 1500ms}});
        QVERIFY(bench.device->open("COM1"));
        bench.send(CommandFrame(1, Command::SelfOffsetCal));
        QCOMPARE(bench.read(3, 1000ms, IoStatus::TimedOut), QByteArray());
        QCOMPARE(bench.elapsed(), 1000ms);
        QCOMPARE(bench.read(3, 1000ms, IoStatus::Ok), QByteArray("00 00 04"));
        QCOMPARE(bench.elapsed(), 1500ms);
    }

    // Answers go out one after the other: the second starts when the first
    // has ended, even if its own delay has run out.
    void answersQueueBehindEachOther() {
        Bench bench(
            {.fault = {.kind = FaultKind::Slow, .command = Command::SelfGainCal, .delay = 200ms}});
        QVERIFY(bench.device->open("COM1"));
        bench.send(CommandFrame(1, Command::SelfGainCal));
        bench.send(CommandFrame(1, Command::Handshake));
        QCOMPARE(bench.read(6, 1000ms, IoStatus::Ok), QByteArray("00 00 05 00 00 F0"));
        QCOMPARE(bench.elapsed(), 200ms);
    }

    void clearKeepsBytesInFlight() {
        Bench bench({}, sim::Wire::Paced);
        QVERIFY(bench.device->open("COM1"));
        bench.send(CommandFrame(1, Command::Handshake));
        bench.clock.advance(sim::pacedOffset(1));
        bench.device->clear();
        QCOMPARE(bench.read(3, 1000ms, IoStatus::Ok), QByteArray("F0"));
        QCOMPARE(bench.elapsed(), sim::pacedOffset(2));
    }

    // 11520 bytes take one second on the wire; each read waits for the next
    // byte and the time of the last one is computed, not summed.
    void pacedBytesKeepTheWireRate() {
        Bench bench({}, sim::Wire::Paced);
        sim::EvmModel reference;
        const Bytes expected = answer(reference, ReadDataFrame(1, 2880));
        QVERIFY(bench.device->open("COM1"));
        bench.send(ReadDataFrame(1, 2880));
        Bytes got;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            std::uint8_t byte = 0;
            const ReadResult result = bench.device->read(std::span(&byte, 1), 1000ms);
            QCOMPARE(result.count, std::size_t{1});
            QCOMPARE(bench.elapsed(), sim::pacedOffset(i));
            got.push_back(byte);
        }
        QCOMPARE(got, expected);
        QCOMPARE(sim::pacedOffset(11520), std::chrono::nanoseconds(1s));
    }

    void hangUpLosesThePort() {
        Bench bench({.fault = {.kind = FaultKind::HangUpAfter, .count = 2}});
        sim::EvmModel reference;
        QVERIFY(bench.device->open("COM1"));
        bench.send(ReadDataFrame(1, 5));
        QCOMPARE(bench.read(64, 1000ms, IoStatus::Ok),
                 toHex(answer(reference, ReadDataFrame(1, 2))));
        QCOMPARE(bench.read(64, 1000ms, IoStatus::Lost), QByteArray());
        QCOMPARE(bench.send(CommandFrame(1, Command::Handshake)), IoStatus::Lost);
        QVERIFY(!bench.bus.isPresent("COM1"));
        bench.device->close();
        QVERIFY(!bench.device->open("COM1"));
        QCOMPARE(bench.bus.openCount("COM1"), 1);
    }

    void hangUpInsteadOfAnswer() {
        Bench bench({.fault = {.kind = FaultKind::HangUpAfter, .command = Command::Reset}});
        QVERIFY(bench.device->open("COM1"));
        bench.send(CommandFrame(1, Command::Handshake));
        QCOMPARE(bench.read(3, 1000ms, IoStatus::Ok), QByteArray("00 00 F0"));
        bench.send(CommandFrame(1, Command::Reset));
        QCOMPARE(bench.read(3, 1000ms, IoStatus::Lost), QByteArray());
        QCOMPARE(bench.elapsed(), 0ns);
    }
};

}  // namespace

ORV_REGISTER_TEST(SimBusTest);
#include "test_sim_bus.moc"
