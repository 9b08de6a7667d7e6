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
    // byte and the time of the last one is computed, not summed. At 30000
    // SPS the wire is the limit: the items follow the first conversion
    // (33334 ns, rounded up) back to back.
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
            QCOMPARE(bench.elapsed(), 33334ns + sim::pacedOffset(i));
            got.push_back(byte);
        }
        QCOMPARE(got, expected);
        QCOMPARE(sim::pacedOffset(11520), std::chrono::nanoseconds(1s));
    }

    // N results take at least N conversions and at least the wire time of
    // their 4N bytes, whichever is longer, and not much more: one conversion
    // and one item at most. A byte is read when it starts, so 4N bytes are
    // there 4N - 1 byte times after the first. Unpaced, they are there at
    // once whatever the rate.
    void resultsComeNoFasterThanTheDataRate_data() {
        QTest::addColumn<int>("drate");
        QTest::addColumn<double>("rate");
        QTest::addColumn<int>("count");
        QTest::newRow("2.5 SPS") << 0x03 << 2.5 << 6;
        QTest::newRow("100 SPS") << 0x82 << 100.0 << 150;
        QTest::newRow("2000 SPS") << 0xB0 << 2000.0 << 1000;
        QTest::newRow("3750 SPS, the wire's limit") << 0xC0 << 3750.0 << 1000;
        QTest::newRow("30000 SPS, the wire's limit") << 0xF0 << 30000.0 << 1000;
    }
    void resultsComeNoFasterThanTheDataRate() {
        QFETCH(int, drate);
        QFETCH(double, rate);
        QFETCH(int, count);
        sim::Registers registers = sim::kPowerOnRegisters;
        registers[0x03] = std::uint8_t(drate);
        for (const sim::Wire wire : {sim::Wire::Paced, sim::Wire::Instant}) {
            Bench bench({.powerOn = registers}, wire);
            QVERIFY(bench.device->open("COM1"));
            bench.send(ReadDataFrame(1, count));
            Bytes block(std::size_t(count) * 4);
            for (std::size_t got = 0; got < block.size();) {
                const ReadResult result = bench.device->read(std::span(block).subspan(got), 1000ms);
                QCOMPARE(result.status, IoStatus::Ok);
                got += result.count;
            }
            QCOMPARE(badItems(block), std::vector<std::size_t>{});
            const double seconds = std::chrono::duration<double>(bench.elapsed()).count();
            if (wire == sim::Wire::Instant) {
                QCOMPARE(seconds, 0.0);
                continue;
            }
            const double least = std::max(count / rate, (count * 4 - 1) / 11520.0);
            QVERIFY2(seconds >= least && seconds <= least + 1 / rate + 4 / 11520.0,
                     qPrintable(QStringLiteral("%1 s, at least %2 s").arg(seconds).arg(least)));
        }
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
