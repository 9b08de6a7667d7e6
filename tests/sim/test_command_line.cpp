// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>
#include <clocale>
#include <stdexcept>
#include <string>

#include "sim/command_line.h"
#include "test_registry.h"

using namespace orv;
using sim::FaultKind;
using sim::parseCommandLine;

Q_DECLARE_METATYPE(orv::sim::Fault)
Q_DECLARE_METATYPE(orv::sim::AnalogInput)

namespace {

// The C library's numbers in a locale with a decimal comma, where the system
// has one (the suite's locale run provides it), for as long as this lives.
class CommaLocale {
public:
    CommaLocale() : saved_(std::setlocale(LC_ALL, nullptr)) {
        std::setlocale(LC_ALL, "de_DE.UTF-8");
    }
    ~CommaLocale() { std::setlocale(LC_ALL, saved_.c_str()); }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

private:
    std::string saved_;
};

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

    // Decimals take a point whatever the locale.
    void inputs_data() {
        QTest::addColumn<QString>("assignment");
        QTest::addColumn<int>("input");
        QTest::addColumn<sim::AnalogInput>("expected");
        QTest::newRow("DC") << "AIN2=1.25" << 2 << sim::AnalogInput{1.25};
        QTest::newRow("negative DC") << "AIN7=-0.125" << 7 << sim::AnalogInput{-0.125};
        QTest::newRow("AINCOM, small letters") << "aincom=0.5" << 8 << sim::AnalogInput{0.5};
        QTest::newRow("exponent") << "AIN1=25e-3" << 1 << sim::AnalogInput{0.025};
        QTest::newRow("sine") << "AIN0=sine:50:2.0" << 0 << sim::AnalogInput{0.0, 2.0, 50.0};
        QTest::newRow("sine with centre")
            << "AIN5=sine:1000.5:1.5:-0.25" << 5 << sim::AnalogInput{-0.25, 1.5, 1000.5};
        QTest::newRow("at the limit")
            << "AIN3=sine:1:4:-1" << 3 << sim::AnalogInput{-1.0, 4.0, 1.0};
    }
    void inputs() {
        QFETCH(QString, assignment);
        QFETCH(int, input);
        QFETCH(sim::AnalogInput, expected);
        const CommaLocale comma;
        const auto options = parse({"--input", "AIN4=2.5", "--input", assignment});
        sim::Inputs inputs = sim::defaultInputs();
        inputs[4] = sim::AnalogInput{2.5};
        inputs[std::size_t(input)] = expected;
        QCOMPARE(sim::inputsOf(options.evm), inputs);
    }

    // The test tone is AIN0's default; an input given for AIN0 replaces it.
    void toneSetsTheDefaultInput() {
        QCOMPARE(sim::inputsOf(parse({"--tone", "1000"}).evm)[0],
                 (sim::AnalogInput{0.0, 2.0, 1000.0}));
        QCOMPARE(sim::inputsOf(parse({"--tone", "1000", "--input", "AIN0=1"}).evm)[0],
                 sim::AnalogInput{1.0});
        QCOMPARE(sim::inputsOf(parse({}).evm), sim::defaultInputs());
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
        QTest::newRow("no such input") << QStringList{"--input", "AIN8=1"};
        QTest::newRow("input without a value") << QStringList{"--input", "AIN0"};
        QTest::newRow("empty voltage") << QStringList{"--input", "AIN0="};
        QTest::newRow("decimal comma") << QStringList{"--input", "AIN0=1,25"};
        QTest::newRow("unit after the voltage") << QStringList{"--input", "AIN0=1.25V"};
        QTest::newRow("not a number") << QStringList{"--input", "AIN0=nan"};
        QTest::newRow("beyond 5 V") << QStringList{"--input", "AIN0=5.5"};
        QTest::newRow("sine beyond 5 V") << QStringList{"--input", "AIN0=sine:50:3:2.5"};
        QTest::newRow("sine without a peak") << QStringList{"--input", "AIN0=sine:50"};
        QTest::newRow("sine with four fields") << QStringList{"--input", "AIN0=sine:50:1:0:0"};
        QTest::newRow("negative frequency") << QStringList{"--input", "AIN0=sine:-50:1"};
        QTest::newRow("negative peak") << QStringList{"--input", "AIN0=sine:50:-1"};
        QTest::newRow("other waveform") << QStringList{"--input", "AIN0=square:50:1"};
    }
    void rejects() {
        QFETCH(QStringList, arguments);
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, parse(arguments));
    }
};

}  // namespace

ORV_REGISTER_TEST(CommandLineTest);
#include "test_command_line.moc"
