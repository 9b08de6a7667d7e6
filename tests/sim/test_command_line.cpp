// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>
#include <stdexcept>

#include "sim/command_line.h"
#include "test_registry.h"

using namespace orv;
using sim::FaultKind;
using sim::parseCommandLine;

Q_DECLARE_METATYPE(orv::sim::Fault)

namespace {

sim::SimOptions parse(const QStringList& arguments) {
    std::vector<std::string> args;
    for (const QString& argument : arguments) {
        args.push_back(argument.toStdString());
    }
    return parseCommandLine(args);
}

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void faults_data() {
        using namespace std::chrono_literals;
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<sim::Fault>("fault");
        QTest::newRow("none") << QStringList() << sim::Fault{};
        QTest::newRow("plain") << QStringList{"--fault", "long-reply"}
                               << sim::Fault{.kind = FaultKind::LongReply};
        QTest::newRow("bad checksums")
            << QStringList{"--fault", "bad-checksum=3,7,65534"}
            << sim::Fault{.kind = FaultKind::BadChecksum, .items = {3, 7, 65534}};
        QTest::newRow("slow calibration")
            << QStringList{"--fault", "slow=1500", "--command", "0x04"}
            << sim::Fault{
                   .kind = FaultKind::Slow, .command = Command::SelfOffsetCal, .delay = 1500ms};
        QTest::newRow("silent") << QStringList{"--fault", "silent-after=10"}
                                << sim::Fault{.kind = FaultKind::SilentAfter, .count = 10};
        QTest::newRow("hang up") << QStringList{"--fault", "hang-up-after=0"}
                                 << sim::Fault{.kind = FaultKind::HangUpAfter, .count = 0};
        QTest::newRow("register restriction")
            << QStringList{"--address", "0A", "--fault", "wrong-status", "--command", "02"}
            << sim::Fault{
                   .kind = FaultKind::WrongStatus, .command = Command::ReadReg, .address = 0x0A};
        QTest::newRow("exact reply") << QStringList{"--reply", "00 00 F1", "--command", "F0"}
                                     << sim::Fault{.kind = FaultKind::ExactReply,
                                                   .command = Command::Handshake,
                                                   .reply = {0x00, 0x00, 0xF1}};
    }
    void faults() {
        QFETCH(QStringList, arguments);
        QFETCH(sim::Fault, fault);
        const sim::Fault parsed = parse(arguments).evm.fault;
        QCOMPARE(parsed.kind, fault.kind);
        QCOMPARE(parsed.command, fault.command);
        QCOMPARE(parsed.address, fault.address);
        QCOMPARE(parsed.reply, fault.reply);
        QCOMPARE(parsed.items, fault.items);
        QCOMPARE(parsed.delay, fault.delay);
        QCOMPARE(parsed.count, fault.count);
    }

    void settings() {
        const auto options = parse({"--register", "03=23", "--register", "0x0A=ff", "--paced",
                                    "--tone", "12.5", "--type", "2"});
        sim::Registers powerOn = sim::kPowerOnRegisters;
        powerOn[0x03] = 0x23;
        powerOn[0x0A] = 0xFF;
        QCOMPARE(options.evm.powerOn, powerOn);
        QCOMPARE(options.wire, sim::Wire::Paced);
        QCOMPARE(options.evm.toneHz, 12.5);
        QCOMPARE(options.evm.type, 2);
        QVERIFY(!options.help);
        QVERIFY(parse({"--help"}).help);
    }

    void rejects_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("unknown option") << QStringList{"--verbose"};
        QTest::newRow("missing value") << QStringList{"--fault"};
        QTest::newRow("unknown fault") << QStringList{"--fault", "sometimes"};
        QTest::newRow("fault without its value") << QStringList{"--fault", "slow"};
        QTest::newRow("value on a plain fault") << QStringList{"--fault", "no-answer=1"};
        QTest::newRow("bad item list") << QStringList{"--fault", "bad-checksum=3,,7"};
        QTest::newRow("two faults") << QStringList{"--fault", "no-answer", "--reply", "00 00 F1"};
        QTest::newRow("short exact reply") << QStringList{"--reply", "00 F1"};
        QTest::newRow("long exact reply") << QStringList{"--reply", "00 00 F1 00"};
        QTest::newRow("no register 0B") << QStringList{"--register", "0B=00"};
        QTest::newRow("register value too big") << QStringList{"--register", "03=100"};
        QTest::newRow("restriction without fault") << QStringList{"--command", "04"};
        QTest::newRow("address on a plain command")
            << QStringList{"--fault", "no-answer", "--command", "04", "--address", "03"};
        QTest::newRow("negative tone") << QStringList{"--tone", "-5"};
        QTest::newRow("tone not a number") << QStringList{"--tone", "50Hz"};
    }
    void rejects() {
        QFETCH(QStringList, arguments);
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, parse(arguments));
    }
};

}  // namespace

ORV_REGISTER_TEST(CommandLineTest);
#include "test_command_line.moc"
