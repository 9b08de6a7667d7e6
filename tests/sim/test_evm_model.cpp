// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>
#include <algorithm>

#include "sim/evm_model.h"
#include "sim_helpers.h"
#include "test_registry.h"

using namespace orv;
using namespace orv::test;
using sim::EvmModel;
using sim::FaultKind;

Q_DECLARE_METATYPE(orv::sim::Fault)
Q_DECLARE_METATYPE(std::vector<std::size_t>)

namespace {

Bytes block(EvmModel& model, int count) {
    return answer(model, ReadDataFrame(1, count));
}

class EvmModelTest : public QObject {
    Q_OBJECT
private slots:
    // Frame in, reply out, byte for byte, from the power-on registers.
    void answersEveryCommand_data() {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("write FF to 0A")
            << QByteArray("55 01 01 0A FF F5") << QByteArray("00 00 0A");
        QTest::newRow("write 23 to 03")
            << QByteArray("55 01 01 03 23 D8") << QByteArray("00 00 27");
        QTest::newRow("read 03 = F0") << QByteArray("55 01 02 03 00 FA") << QByteArray("00 F0 F5");
        QTest::newRow("read 04 = E1") << QByteArray("55 01 02 04 00 F9") << QByteArray("00 E1 E7");
        QTest::newRow("read 0A = 45") << QByteArray("55 01 02 0A 00 F3") << QByteArray("00 45 51");
        QTest::newRow("self cal") << QByteArray("55 01 03 00 00 FC") << QByteArray("00 00 03");
        QTest::newRow("self offset") << QByteArray("55 01 04 00 00 FB") << QByteArray("00 00 04");
        QTest::newRow("self gain") << QByteArray("55 01 05 00 00 FA") << QByteArray("00 00 05");
        QTest::newRow("system offset") << QByteArray("55 01 06 00 00 F9") << QByteArray("00 00 06");
        QTest::newRow("system gain") << QByteArray("55 01 07 00 00 F8") << QByteArray("00 00 07");
        QTest::newRow("standby") << QByteArray("55 01 08 00 00 F7") << QByteArray("00 00 08");
        QTest::newRow("power down") << QByteArray("55 01 09 00 00 F6") << QByteArray("00 00 09");
        QTest::newRow("reset") << QByteArray("55 01 0A 00 00 F5") << QByteArray("00 00 0A");
        QTest::newRow("wakeup") << QByteArray("55 01 0C 00 00 F3") << QByteArray("00 00 0C");
        QTest::newRow("handshake") << QByteArray("55 01 F0 00 00 0F") << QByteArray("00 00 F0");
        QTest::newRow("unknown 0B") << QByteArray("55 01 0B 00 00 F4") << QByteArray();
        QTest::newRow("unknown FF") << QByteArray("55 01 FF 00 00 00") << QByteArray();
        QTest::newRow("bad checksum") << QByteArray("55 01 F0 00 00 0E") << QByteArray();
        QTest::newRow("other EVM type") << QByteArray("55 FF F0 00 00 0F") << QByteArray();
    }
    void answersEveryCommand() {
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, reply);
        EvmModel model;
        QCOMPARE(toHex(answer(model, fromHex(frame))), reply);
    }

    void dataCommandSendsItsItems() {
        EvmModel model;
        const Bytes items = answer(model, fromHex("55 01 0F 00 2D C3"));
        QCOMPARE(items.size(), std::size_t{45 * 4});
        QCOMPARE(badItems(items), std::vector<std::size_t>{});
        QCOMPARE(answer(model, ReadDataFrame(1, 65535)).size(), std::size_t{65535 * 4});
        QVERIFY(answer(model, ReadDataFrame(1, 0)).empty());
    }

    void registersKeepWhatIsWritten() {
        EvmModel model;
        QCOMPARE(toHex(answer(model, CommandFrame(1, Command::WriteReg, 0x01, 0x23))),
                 QByteArray("00 00 25"));
        QCOMPARE(toHex(answer(model, CommandFrame(1, Command::ReadReg, 0x01))),
                 QByteArray("00 23 26"));
        // The ID bits 7-4 of STATUS stay 3 whatever is written.
        answer(model, CommandFrame(1, Command::WriteReg, 0x00, 0xCF));
        QCOMPARE(model.registerValue(0x00), std::uint8_t{0x3F});
        answer(model, CommandFrame(1, Command::WriteReg, 0x00, 0x02));
        QCOMPARE(model.registerValue(0x00), std::uint8_t{0x32});
    }

    void resetRestoresThePowerOnRegisters() {
        sim::Registers powerOn = sim::kPowerOnRegisters;
        powerOn[0x03] = 0x23;
        EvmModel model({.powerOn = powerOn});
        QCOMPARE(model.registers(), powerOn);
        for (std::uint8_t address = 0; address < sim::kRegisterCount; ++address) {
            answer(model, CommandFrame(1, Command::WriteReg, address, 0x5A));
        }
        answer(model, CommandFrame(1, Command::Reset));
        QCOMPARE(model.registers(), powerOn);
    }

    // The same stream, cut anywhere, gives the same frames and answers:
    // bytes before a mark are skipped, a frame with a wrong checksum is
    // logged and ignored, a partial frame waits for the rest.
    void framesArriveInAnyPieces_data() {
        QTest::addColumn<int>("piece");
        for (int piece : {1, 2, 5, 6, 7, 100}) {
            QTest::addRow("%d at a time", piece) << piece;
        }
    }
    void framesArriveInAnyPieces() {
        QFETCH(int, piece);
        const Bytes stream = fromHex(
            "00 F0 0F"             // noise before the first mark
            "55 01 F0 00 00 0F"    // handshake
            "55 01 F0 00 00 0E"    // wrong checksum
            "55 01 02 03 00 FA"    // read 03
            "AA"                   // noise between frames
            "55 01 01 03 23 D8");  // write 23 to 03
        EvmModel model;
        Bytes replies;
        for (std::size_t at = 0; at < stream.size(); at += std::size_t(piece)) {
            const std::size_t n = std::min(std::size_t(piece), stream.size() - at);
            const Bytes part(stream.begin() + qsizetype(at), stream.begin() + qsizetype(at + n));
            const Bytes answered = answer(model, part);
            replies.insert(replies.end(), answered.begin(), answered.end());
        }
        QCOMPARE(toHex(replies), QByteArray("00 00 F0 00 F0 F5 00 00 27"));
        QCOMPARE(model.frames().size(), std::size_t{4});
        QCOMPARE(toHex(model.frames()[1]), QByteArray("55 01 F0 00 00 0E"));
        model.clearFrames();
        QVERIFY(model.frames().empty());
    }

    void calibrationsSetTheirRegisters_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("offset");
        QTest::addColumn<bool>("gain");
        QTest::newRow("self") << 0x03 << true << true;
        QTest::newRow("self offset") << 0x04 << true << false;
        QTest::newRow("self gain") << 0x05 << false << true;
        QTest::newRow("system offset") << 0x06 << true << false;
        QTest::newRow("system gain") << 0x07 << false << true;
    }
    void calibrationsSetTheirRegisters() {
        QFETCH(int, command);
        QFETCH(bool, offset);
        QFETCH(bool, gain);
        const auto frame = CommandFrame(1, std::uint8_t(command));
        EvmModel first;
        EvmModel second;
        answer(first, frame);
        answer(second, frame);
        QCOMPARE(first.registers(), second.registers());
        const auto changed = [&](std::size_t from) {
            return !std::equal(first.registers().begin() + qsizetype(from),
                               first.registers().begin() + qsizetype(from + 3),
                               sim::kPowerOnRegisters.begin() + qsizetype(from));
        };
        QCOMPARE(changed(0x05), offset);
        QCOMPARE(changed(0x08), gain);
        QVERIFY(std::equal(first.registers().begin(), first.registers().begin() + 5,
                           sim::kPowerOnRegisters.begin()));
    }

    void systemOffsetFollowsTheInput() {
        EvmModel ain01;
        EvmModel ain28;
        ain28.setRegister(0x01, 0x28);
        answer(ain01, CommandFrame(1, Command::SysOffsetCal));
        answer(ain28, CommandFrame(1, Command::SysOffsetCal));
        const auto offset = [](const EvmModel& model) {
            return std::vector<std::uint8_t>(model.registers().begin() + 5,
                                             model.registers().begin() + 8);
        };
        QVERIFY(offset(ain01) != offset(ain28));
    }

    void resultsAreRepeatable() {
        EvmModel model;
        const Bytes first = block(model, 100);
        QVERIFY(toHex(block(model, 100)) != toHex(first));
        answer(model, CommandFrame(1, Command::Reset));
        QCOMPARE(toHex(block(model, 100)), toHex(first));
        EvmModel other;
        QCOMPARE(toHex(block(other, 100)), toHex(first));
    }

    // Full scale travels as 7F FF FF and its negative as 80 00 00.
    void resultsClampAtFullScale() {
        EvmModel high;
        high.setRegister(0x01, 0x76);  // AIN7 (2.4 V) - AIN6 (-2.0 V)
        high.setRegister(0x02, 0x26);
        EvmModel low;
        low.setRegister(0x01, 0x67);
        low.setRegister(0x02, 0x26);
        QCOMPARE(toHex(block(high, 2)), QByteArray("7F FF FF 7D 7F FF FF 7D"));
        QCOMPARE(toHex(block(low, 2)), QByteArray("80 00 00 80 80 00 00 80"));
    }

    // One fault on one frame: what is sent, after which delay, and whether
    // the EVM hangs up.
    void faultsShapeTheAnswer_data() {
        using namespace std::chrono_literals;
        QTest::addColumn<sim::Fault>("fault");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("delayMs");
        QTest::addColumn<bool>("hangUp");
        const QByteArray handshake("55 01 F0 00 00 0F");
        const QByteArray reset("55 01 0A 00 00 F5");
        const QByteArray read03("55 01 02 03 00 FA");
        const QByteArray read04("55 01 02 04 00 F9");
        QTest::newRow("no answer")
            << sim::Fault{.kind = FaultKind::NoAnswer} << handshake << QByteArray() << 0 << false;
        QTest::newRow("short reply") << sim::Fault{.kind = FaultKind::ShortReply} << handshake
                                     << QByteArray("00 00") << 0 << false;
        QTest::newRow("long reply") << sim::Fault{.kind = FaultKind::LongReply} << handshake
                                    << QByteArray("00 00 F0 00") << 0 << false;
        QTest::newRow("wrong status") << sim::Fault{.kind = FaultKind::WrongStatus} << read03
                                      << QByteArray("01 F0 F5") << 0 << false;
        QTest::newRow("wrong check") << sim::Fault{.kind = FaultKind::WrongCheck} << read03
                                     << QByteArray("00 F0 F6") << 0 << false;
        QTest::newRow("exact reply")
            << sim::Fault{.kind = FaultKind::ExactReply, .reply = {0x00, 0x00, 0x06}}
            << QByteArray("55 01 07 00 00 F8") << QByteArray("00 00 06") << 0 << false;
        QTest::newRow("failing reset") << sim::Fault{.kind = FaultKind::FailingReset} << reset
                                       << QByteArray("01 00 0A") << 0 << false;
        QTest::newRow("failing reset, handshake")
            << sim::Fault{.kind = FaultKind::FailingReset} << handshake << QByteArray("00 00 F0")
            << 0 << false;
        QTest::newRow("wrong handshake") << sim::Fault{.kind = FaultKind::WrongHandshake}
                                         << handshake << QByteArray("00 00 F1") << 0 << false;
        QTest::newRow("slow") << sim::Fault{.kind = FaultKind::Slow, .delay = 1500ms}
                              << QByteArray("55 01 04 00 00 FB") << QByteArray("00 00 04") << 1500
                              << false;
        QTest::newRow("hang up") << sim::Fault{.kind = FaultKind::HangUpAfter} << handshake
                                 << QByteArray() << 0 << true;
        QTest::newRow("other command")
            << sim::Fault{.kind = FaultKind::NoAnswer, .command = Command::SelfOffsetCal}
            << handshake << QByteArray("00 00 F0") << 0 << false;
        QTest::newRow("its address") << sim::Fault{.kind = FaultKind::WrongStatus, .address = 0x03}
                                     << read03 << QByteArray("01 F0 F5") << 0 << false;
        QTest::newRow("other address")
            << sim::Fault{.kind = FaultKind::WrongStatus, .address = 0x03} << read04
            << QByteArray("00 E1 E7") << 0 << false;
        QTest::newRow("address, not a register command")
            << sim::Fault{.kind = FaultKind::NoAnswer, .address = 0x00} << handshake
            << QByteArray("00 00 F0") << 0 << false;
    }
    void faultsShapeTheAnswer() {
        QFETCH(sim::Fault, fault);
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, reply);
        QFETCH(int, delayMs);
        QFETCH(bool, hangUp);
        EvmModel model({.fault = fault});
        const auto reactions = model.receive(fromHex(frame));
        QCOMPARE(toHex(sent(reactions)), reply);
        QCOMPARE(reactions.size(), std::size_t(reply.isEmpty() && !hangUp ? 0 : 1));
        if (!reactions.empty()) {
            QCOMPARE(reactions[0].delay.count(), delayMs);
            QCOMPARE(reactions[0].hangUp, hangUp);
        }
    }

    // A fault changes the answer; the command still takes effect, except for
    // the failing reset.
    void faultsLeaveTheCommandsEffect() {
        EvmModel silent({.fault = {.kind = FaultKind::NoAnswer}});
        silent.receive(toBytes(CommandFrame(1, Command::WriteReg, 0x03, 0x23)));
        QCOMPARE(silent.registerValue(0x03), std::uint8_t{0x23});
        EvmModel stuck({.fault = {.kind = FaultKind::FailingReset}});
        stuck.setRegister(0x03, 0x23);
        stuck.receive(toBytes(CommandFrame(1, Command::Reset)));
        QCOMPARE(stuck.registerValue(0x03), std::uint8_t{0x23});
    }

    // Ten items asked for; what arrives compared with a fault-free EVM.
    void faultsOnTheDataCommand_data() {
        QTest::addColumn<sim::Fault>("fault");
        QTest::addColumn<int>("bytes");
        QTest::addColumn<bool>("hangUp");
        QTest::addColumn<std::vector<std::size_t>>("bad");
        QTest::newRow("bad checksums")
            << sim::Fault{.kind = FaultKind::BadChecksum, .items = {3, 7}} << 40 << false
            << std::vector<std::size_t>{3, 7};
        QTest::newRow("silent after 4") << sim::Fault{.kind = FaultKind::SilentAfter, .count = 4}
                                        << 16 << false << std::vector<std::size_t>{};
        QTest::newRow("hang up after 4") << sim::Fault{.kind = FaultKind::HangUpAfter, .count = 4}
                                         << 16 << true << std::vector<std::size_t>{};
        QTest::newRow("short") << sim::Fault{.kind = FaultKind::ShortReply} << 39 << false
                               << std::vector<std::size_t>{};
        QTest::newRow("long") << sim::Fault{.kind = FaultKind::LongReply} << 41 << false
                              << std::vector<std::size_t>{};
        QTest::newRow("reply fault") << sim::Fault{.kind = FaultKind::WrongCheck} << 40 << false
                                     << std::vector<std::size_t>{};
        QTest::newRow("item fault, other command")
            << sim::Fault{.kind = FaultKind::SilentAfter, .command = Command::Handshake, .count = 4}
            << 40 << false << std::vector<std::size_t>{};
    }
    void faultsOnTheDataCommand() {
        QFETCH(sim::Fault, fault);
        QFETCH(int, bytes);
        QFETCH(bool, hangUp);
        QFETCH(std::vector<std::size_t>, bad);
        EvmModel right;
        EvmModel faulty({.fault = fault});
        const Bytes expected = block(right, 10);
        const auto reactions = faulty.receive(toBytes(ReadDataFrame(1, 10)));
        QCOMPARE(reactions.size(), std::size_t{1});
        const Bytes& got = reactions[0].bytes;
        QCOMPARE(int(got.size()), bytes);
        QCOMPARE(reactions[0].hangUp, hangUp);
        QCOMPARE(badItems(Bytes(got.begin(), got.begin() + qsizetype(got.size() / 4 * 4))), bad);
        const std::size_t common = std::min(got.size(), expected.size());
        for (std::size_t i = 0; i < common; ++i) {
            if (i % 4 != 3) {
                QCOMPARE(got[i], expected[i]);
            }
        }
    }
};

}  // namespace

ORV_REGISTER_TEST(EvmModelTest);
#include "test_evm_model.moc"
