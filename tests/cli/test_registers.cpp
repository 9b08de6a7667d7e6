// SPDX-License-Identifier: GPL-3.0-or-later
// regs, write, set and the profiles against the in-memory simulated EVM:
// the frames sent, the registers and fields shown, the failures.

#include <QFile>
#include <QJsonArray>

#include "cli_fixture.h"
#include "profile/profile.h"
#include "profile/profile_file.h"
#include "test_registry.h"

using namespace orv;
using namespace orv::test;

using Args = std::vector<std::string>;
using Writes = std::vector<std::pair<int, int>>;  // address, value
Q_DECLARE_METATYPE(Args)
Q_DECLARE_METATYPE(Writes)

namespace {

// Every field off its power-on value: STATUS with auto-calibration and the
// buffer on, AIN3 against AINCOM, clkin/2, 2 uA, gain 32, 2.5 SPS, mixed
// pins, and calibration values whose byte order shows.
constexpr sim::Registers kPreset = {0x36, 0x38, 0x55, 0x03, 0x5A, 0x56,
                                    0x34, 0x12, 0x9A, 0xBC, 0x4D};

sim::EvmConfig presetConfig() {
    sim::EvmConfig config;
    config.powerOn = kPreset;
    return config;
}

QJsonObject parsed(const char* json) {
    return QJsonDocument::fromJson(QByteArray(json)).object();
}

std::vector<Frame> readsOfAll() {
    std::vector<Frame> frames;
    for (std::uint8_t a = 0; a < 11; ++a) {
        frames.push_back(frame(Command::ReadReg, a));
    }
    return frames;
}

class RegisterCommandTest final : public QObject {
    Q_OBJECT
private slots:
    // The handshake alone finds the EVM: no reset, so the registers shown
    // are those the converter holds.
    void regsShowsRegistersAndFields() {
        CliFixture cli(presetConfig());
        const CliRun run = cli.run({"--json", "regs"});
        QCOMPARE(run.code, 0);
        QVERIFY(run.err.empty());
        QCOMPARE(run.json()["registers"].toObject(),
                 parsed(R"({"STATUS": "36", "MUX": "38", "ADCON": "55", "DRATE": "03",
                            "IO": "5A", "OFC0": "56", "OFC1": "34", "OFC2": "12",
                            "FSC0": "9A", "FSC1": "BC", "FSC2": "4D"})"));
        QCOMPARE(run.json()["fields"].toObject(), parsed(R"({
            "mux": "AIN3,AINCOM", "gain": 32, "rate_sps": 2.5, "buffer": "on",
            "clock-out": "clkin/2", "sensor": "2", "id": 3, "order": "msb-first",
            "auto-calibration": "on", "drdy": "low",
            "io": {"D3": {"direction": "output", "level": "high"},
                   "D2": {"direction": "input", "level": "low"},
                   "D1": {"direction": "output", "level": "high"},
                   "D0": {"direction": "input", "level": "low"}},
            "offset": "123456", "full-scale": "4DBC9A"})"));
        QCOMPARE(run.json().keys(), (QStringList{"fields", "registers"}));

        std::vector<Frame> expected{frame(Command::Handshake)};
        const auto reads = readsOfAll();
        expected.insert(expected.end(), reads.begin(), reads.end());
        QCOMPARE(cli.evm.frames(), expected);
    }

    void regsTableReadsLikeTheJson() {
        CliFixture cli(presetConfig());
        const CliRun run = cli.run({"regs"});
        QCOMPARE(run.code, 0);
        for (const char* line : {"\nFSC2      0A       4D\n", "\nmux               AIN3,AINCOM\n",
                                 "\nrate              2.5 SPS\n", "\nsensor            2 uA\n",
                                 "\noffset            123456\n"}) {
            QVERIFY2(run.out.find(line) != std::string::npos, run.out.c_str());
        }
    }

    // A DRATE code outside the data-rate list has no rate.
    void unknownDataRateIsNull() {
        CliFixture cli;
        cli.evm.setRegister(DRATE, 0x00);
        const CliRun run = cli.run({"--json", "regs"});
        QCOMPARE(run.code, 0);
        QVERIFY(run.json()["fields"]["rate_sps"].isNull());
        QVERIFY(cli.run({"regs"}).out.find("unknown (DRATE 00)") != std::string::npos);
    }

    // The registers are read first; only those the fields lie in are
    // written, in address order, each with its other bits as read; then all
    // eleven are read back.
    void setWritesOnlyTheFieldsRegisters_data() {
        QTest::addColumn<Args>("fields");
        QTest::addColumn<int>("statusBefore");
        QTest::addColumn<int>("adconBefore");
        QTest::addColumn<Writes>("writes");
        QTest::newRow("gain") << Args{"gain=8"} << 0x30 << 0x20 << Writes{{ADCON, 0x23}};
        QTest::newRow("gain keeps bit 7")
            << Args{"GAIN=64"} << 0x30 << 0xA0 << Writes{{ADCON, 0xA6}};
        QTest::newRow("clock and sensor")
            << Args{"clock-out=off", "sensor=10"} << 0x30 << 0x27 << Writes{{ADCON, 0x1F}};
        QTest::newRow("rate") << Args{"rate=2.5"} << 0x30 << 0x20 << Writes{{DRATE, 0x03}};
        QTest::newRow("buffer on") << Args{"buffer=on"} << 0x30 << 0x20 << Writes{{STATUS, 0x32}};
        QTest::newRow("buffer off keeps the rest")
            << Args{"buffer=Off"} << 0x3E << 0x20 << Writes{{STATUS, 0x3C}};
        QTest::newRow("mux") << Args{"mux=aincom,AIN7"} << 0x30 << 0x20 << Writes{{MUX, 0x87}};
        QTest::newRow("every field, in address order")
            << Args{"rate=15000", "mux=AIN2,AIN3",     "gain=2",
                    "buffer=on",  "clock-out=clkin/4", "sensor=0.5"}
            << 0x30 << 0x20 << Writes{{STATUS, 0x32}, {MUX, 0x23}, {ADCON, 0x69}, {DRATE, 0xE0}};
    }
    void setWritesOnlyTheFieldsRegisters() {
        QFETCH(Args, fields);
        QFETCH(int, statusBefore);
        QFETCH(int, adconBefore);
        QFETCH(Writes, writes);
        CliFixture cli;
        cli.evm.setRegister(STATUS, std::uint8_t(statusBefore));
        cli.evm.setRegister(ADCON, std::uint8_t(adconBefore));
        Args args{"--json", "set"};
        args.insert(args.end(), fields.begin(), fields.end());
        const CliRun run = cli.run(args);
        QCOMPARE(run.code, 0);

        std::vector<Frame> expected{frame(Command::Handshake)};
        const auto reads = readsOfAll();
        expected.insert(expected.end(), reads.begin(), reads.end());
        QJsonObject written;
        for (const auto& [address, value] : writes) {
            expected.push_back(
                frame(Command::WriteReg, std::uint8_t(address), std::uint8_t(value)));
            written[kRegisterNames[address]] = QString::asprintf("%02X", value);
        }
        expected.insert(expected.end(), reads.begin(), reads.end());
        QCOMPARE(cli.evm.frames(), expected);
        QCOMPARE(run.json()["written"].toObject(), written);
        for (const auto& [address, value] : writes) {
            QCOMPARE(run.json()["registers"][kRegisterNames[address]].toString(),
                     QString::asprintf("%02X", cli.evm.registerValue(std::uint8_t(address))));
        }
    }

    // Written in the order given, each confirmed; all eleven read back.
    void writeSendsInOrderAndReadsBack() {
        CliFixture cli;
        const CliRun run = cli.run({"--json", "write", "MUX=23", "adcon=0x07", "DRATE=a1"});
        QCOMPARE(run.code, 0);
        QCOMPARE(cli.framesOf(Command::WriteReg),
                 (std::vector<Frame>{frame(Command::WriteReg, MUX, 0x23),
                                     frame(Command::WriteReg, ADCON, 0x07),
                                     frame(Command::WriteReg, DRATE, 0xA1)}));
        QCOMPARE(cli.framesOf(Command::ReadReg), readsOfAll());
        QCOMPARE(run.json()["written"].toObject(),
                 parsed(R"({"MUX": "23", "ADCON": "07", "DRATE": "A1"})"));
        QCOMPARE(run.json()["fields"]["mux"].toString(), QStringLiteral("AIN2,AIN3"));
        QCOMPARE(run.json()["fields"]["gain"].toInt(), 64);
        QCOMPARE(run.json()["fields"]["rate_sps"].toDouble(), 1000.0);
    }

    // The all-registers page's write: stops at the first register not
    // confirmed, with its message, and nothing is read back.
    void writeStopsAtTheFirstRefusal() {
        sim::EvmConfig config;
        config.fault = {
            .kind = sim::FaultKind::WrongStatus, .command = Command::WriteReg, .address = ADCON};
        CliFixture cli(config);
        const CliRun run = cli.run({"--json", "write", "MUX=23", "ADCON=07", "DRATE=03"});
        QCOMPARE(run.code, 1);
        QCOMPARE(cli.framesOf(Command::WriteReg),
                 (std::vector<Frame>{frame(Command::WriteReg, MUX, 0x23),
                                     frame(Command::WriteReg, ADCON, 0x07)}));
        QVERIFY(cli.framesOf(Command::ReadReg).empty());
        QCOMPARE(run.err, std::string("Write register 02 fail !\n"));
        QCOMPARE(run.json(), parsed(R"({"error": {"exit_code": 1,
                                         "messages": ["Write register 02 fail !"]}})"));
    }

    // The panel's Read: stops at the first register not read well.
    void readFailureNamesTheRegister_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("no answer") << int(sim::FaultKind::NoAnswer);
        QTest::newRow("wrong check byte") << int(sim::FaultKind::WrongCheck);
        QTest::newRow("short reply") << int(sim::FaultKind::ShortReply);
    }
    void readFailureNamesTheRegister() {
        QFETCH(int, kind);
        sim::EvmConfig config;
        config.fault = {
            .kind = sim::FaultKind(kind), .command = Command::ReadReg, .address = DRATE};
        for (const Args& args :
             {Args{"regs"}, Args{"set", "gain=2"}, Args{"profile", "save", "x.ini"}}) {
            CliFixture cli(config);
            const CliRun run = cli.run(args);
            QCOMPARE(run.code, 1);
            QCOMPARE(run.err, std::string("Read Register Address 03 Failed !\n"));
            QVERIFY(run.out.empty());
            QCOMPARE(cli.framesOf(Command::ReadReg).size(), std::size_t(4));
            QVERIFY(cli.framesOf(Command::WriteReg).empty());
        }
    }

    // Saved as the window saves (the registers read just now), loaded by
    // writing all eleven in address order.
    void profileSavesAndLoads() {
        QTemporaryDir folder;
        const std::string path = pathIn(folder, "board.ini");
        CliFixture source(presetConfig());
        const CliRun saved = source.run({"--json", "profile", "save", path});
        QCOMPARE(saved.code, 0);
        QCOMPARE(saved.json()["file"].toString().toStdString(), path);
        QVERIFY(source.framesOf(Command::WriteReg).empty());
        const auto text = readProfileFile(path);
        QVERIFY(text && text->starts_with("[EVM]\r\nTarget=VXR5307\r\n[REG]\r\nSTATUS=0x36\r\n"));
        QCOMPARE(readProfile(*text), std::optional<ProfileRegisters>(kPreset));

        CliFixture target;
        const CliRun loaded = target.run({"--json", "profile", "load", path});
        QCOMPARE(loaded.code, 0);
        std::vector<Frame> writes;
        for (std::uint8_t a = 0; a < 11; ++a) {
            writes.push_back(frame(Command::WriteReg, a, kPreset[a]));
        }
        QCOMPARE(target.framesOf(Command::WriteReg), writes);
        QCOMPARE(loaded.json()["registers"], saved.json()["registers"]);
        QCOMPARE(loaded.json()["written"], saved.json()["registers"]);
    }

    // A profile the window would refuse sends nothing.
    void profileLoadRefusesBeforeAnyPort_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing file") << QByteArray() << "cannot read the profile";
        QTest::newRow("another target")
            << QByteArray("[EVM]\r\nTarget=OTHER\r\n[REG]\r\nMUX=0x23\r\n")
            << "The profile is invalid for \"VXR5307\"";
        QTest::newRow("not a profile")
            << QByteArray("hello\n") << "The profile is invalid for \"VXR5307\"";
    }
    void profileLoadRefusesBeforeAnyPort() {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QTemporaryDir folder;
        const std::string path = pathIn(folder, "board.ini");
        if (!content.isEmpty()) {
            QFile file(QString::fromStdString(path));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        CliFixture cli;
        const CliRun run = cli.run({"profile", "load", path});
        QCOMPARE(run.code, 4);
        QVERIFY2(run.errSays(message.toStdString()), run.err.c_str());
        QVERIFY(cli.touchedNothing());
    }

    void profileSaveIntoMissingFolder() {
        QTemporaryDir folder;
        CliFixture cli;
        const CliRun run = cli.run({"profile", "save", pathIn(folder, "gone/board.ini")});
        QCOMPARE(run.code, 4);
        QCOMPARE(run.err, std::string("Save profile failed !\n"));
    }
};

}  // namespace

ORV_REGISTER_TEST(RegisterCommandTest);
#include "test_registers.moc"
