// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the EVM, scan and reset, the calibrations and the power commands
// against in-memory simulated EVMs.

#include <QJsonArray>

#include "cli_fixture.h"
#include "test_registry.h"

using namespace orv;
using namespace orv::test;

using Args = std::vector<std::string>;
Q_DECLARE_METATYPE(Args)

namespace {

sim::EvmConfig withFault(sim::FaultKind kind, std::optional<Command> command = std::nullopt) {
    sim::EvmConfig config;
    config.fault = {.kind = kind, .command = command};
    return config;
}

class DeviceCommandTest final : public QObject {
    Q_OBJECT
private slots:
    // Every port is tried and closed again; each EVM that answers the
    // handshake is reset, and one whose reset fails says so as the
    // detection does.
    void scanTriesEveryPort() {
        CliFixture cli;
        cli.bus.addEvm("ttyA", withFault(sim::FaultKind::FailingReset));
        cli.bus.addSilentPort("ttyMute");
        cli.systemPorts = {"ttyMute", "ttyGone", "ttyEVM", "ttyA"};
        cli.evm.setRegister(MUX, 0x23);

        const CliRun run = cli.run({"--json", "scan"});
        QCOMPARE(run.code, 0);
        QCOMPARE(run.err, std::string("Reset EVM failed !\n"));
        const QJsonObject expected = QJsonDocument::fromJson(R"({"ports": [
            {"port": "ttyA", "opened": true, "answered": true, "reset": false},
            {"port": "ttyEVM", "opened": true, "answered": true, "reset": true},
            {"port": "ttyGone", "opened": false, "answered": false, "reset": null},
            {"port": "ttyMute", "opened": true, "answered": false, "reset": null}],
            "evm_port": "ttyEVM"})")
                                         .object();
        QCOMPARE(run.json(), expected);
        QCOMPARE(cli.evm.frames(),
                 (std::vector<Frame>{frame(Command::Handshake), frame(Command::Reset)}));
        QCOMPARE(cli.evm.registerValue(MUX), std::uint8_t(0x01));
        for (const char* port : {"ttyA", "ttyEVM", "ttyMute"}) {
            QVERIFY(!cli.bus.isOpen(port));
        }
        const CliRun table = cli.run({"scan"});
        QVERIFY2(table.out.find("ttyEVM               VXR5307, reset\n") != std::string::npos,
                 table.out.c_str());
        QVERIFY(table.out.find("ttyGone              cannot open\n") != std::string::npos);
    }

    // The table still lists the ports; the exit code tells what was missing.
    void scanWithoutEvm_data() {
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("messages");
        QTest::newRow("silent") << int(sim::FaultKind::NoAnswer) << 3 << "Can't find VXR5307 !\n";
        QTest::newRow("failing reset") << int(sim::FaultKind::FailingReset) << 1
                                       << "Reset EVM failed !\nCan't find VXR5307 !\n";
    }
    void scanWithoutEvm() {
        QFETCH(int, fault);
        QFETCH(int, exitCode);
        QFETCH(QString, messages);
        CliFixture cli(withFault(sim::FaultKind(fault)));
        const CliRun run = cli.run({"--json", "scan"});
        QCOMPARE(run.code, exitCode);
        QCOMPARE(run.err, messages.toStdString());
        const QJsonObject json = run.json();
        QCOMPARE(json["ports"].toArray().size(), 1);
        QVERIFY(json["evm_port"].isNull());
        QCOMPARE(json["error"]["exit_code"].toInt(), exitCode);
        QCOMPARE(json["error"]["messages"].toArray().size(), messages.count('\n'));
    }

    // The detection: the first EVM that answers is reset to its power-on
    // registers.
    void resetRestoresPowerOn() {
        CliFixture cli;
        cli.evm.setRegister(ADCON, 0x26);
        const CliRun run = cli.run({"--json", "reset"});
        QCOMPARE(run.code, 0);
        QCOMPARE(run.json()["port"].toString(), QStringLiteral("ttyEVM"));
        QCOMPARE(cli.evm.frames(),
                 (std::vector<Frame>{frame(Command::Handshake), frame(Command::Reset)}));
        QCOMPARE(cli.run({"--json", "regs"}).json()["registers"]["ADCON"].toString(),
                 QStringLiteral("20"));
    }

    void resetThatFails() {
        CliFixture cli(withFault(sim::FaultKind::FailingReset));
        const CliRun run = cli.run({"reset"});
        QCOMPARE(run.code, 1);
        QCOMPARE(run.err, std::string("Reset EVM failed !\nCan't find VXR5307 !\n"));
    }

    // Nothing answers the handshake: the detection's message and 3, for
    // every command that talks to the EVM.
    void noEvmFound_data() {
        QTest::addColumn<Args>("args");
        QTest::addColumn<QString>("situation");
        for (const char* situation :
             {"no ports", "silent port", "wrong handshake", "another EVM type", "port gone"}) {
            QTest::addRow("regs, %s", situation) << Args{"regs"} << situation;
        }
        for (const Args& args :
             {Args{"write", "MUX=23"}, Args{"set", "gain=2"}, Args{"calibrate", "self"},
              Args{"standby"}, Args{"wakeup"}, Args{"power-down"}, Args{"reset"}, Args{"collect"},
              Args{"analyze"}, Args{"profile", "save", "x.ini"}}) {
            std::string name;
            for (const std::string& arg : args) {
                name += (name.empty() ? "" : " ") + arg;
            }
            QTest::addRow("%s", name.c_str()) << args << "no ports";
        }
    }
    void noEvmFound() {
        QFETCH(Args, args);
        QFETCH(QString, situation);
        sim::EvmConfig config;
        if (situation == "wrong handshake") {
            config.fault.kind = sim::FaultKind::WrongHandshake;
        } else if (situation == "another EVM type") {
            config.type = 2;
        }
        CliFixture cli(config);
        if (situation == "no ports") {
            cli.systemPorts.clear();
        } else if (situation == "silent port") {
            cli.bus.addSilentPort("ttyMute");
            cli.systemPorts = {"ttyMute"};
        } else if (situation == "port gone") {
            cli.bus.unplug(CliFixture::kPort);
        }
        const CliRun run = cli.run(args);
        QCOMPARE(run.code, 3);
        QCOMPARE(run.err, std::string("Can't find VXR5307 !\n"));
        QVERIFY(run.out.empty());
        QVERIFY(cli.framesOf(Command::Reset).empty() || args[0] == "reset");
        QVERIFY(cli.framesOf(Command::WriteReg).empty());
    }

    // The system is asked for its ports only when no --port name answers,
    // and a named port that did not answer is not tried again among them.
    void namedPortsComeBeforeTheSystemsList() {
        CliFixture cli;
        cli.bus.addSilentPort("ttyMute");
        cli.systemPorts = {"ttyMute", CliFixture::kPort};
        QCOMPARE(cli.run({"--port", CliFixture::kPort, "regs"}).code, 0);
        QCOMPARE(cli.listings, 0);

        QCOMPARE(cli.run({"--port", "ttyMute", "regs"}).code, 0);
        QCOMPARE(cli.listings, 1);
        QCOMPARE(cli.bus.openCount("ttyMute"), 1);

        cli.systemPorts = {"ttyMute"};
        const CliRun none = cli.run({"--port", "ttyMute", "regs"});
        QCOMPARE(none.code, 3);
        QCOMPARE(none.err, std::string("Can't find VXR5307 !\n"));
        QCOMPARE(cli.bus.openCount("ttyMute"), 2);
    }

    // --simulate's port comes after the --port names and before the
    // system's ports.
    void simulatedEvmTakesItsPlace() {
        CliFixture cli;
        const CliRun simulated = cli.run({"--simulate", "--json", "reset"});
        QCOMPARE(simulated.code, 0);
        QCOMPARE(simulated.json()["port"].toString(), QStringLiteral("SIM"));
        QVERIFY(cli.evm.frames().empty());

        const CliRun named = cli.run({"--simulate", "--port", "ttyEVM", "--json", "reset"});
        QCOMPARE(named.code, 0);
        QCOMPARE(named.json()["port"].toString(), QStringLiteral("ttyEVM"));
        QCOMPARE(cli.simulated->openCount("SIM"), 0);
        QCOMPARE(cli.simulatorsMade, 2);
    }

    // Each calibration sends its own frame; each failure has the window's
    // message, and the self calibration's reply, which the window never
    // examines, decides the exit code.
    void calibrations_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const int none = int(sim::FaultKind::None);
        QTest::newRow("self") << "self" << 0x03 << none << 0 << "";
        QTest::newRow("self-offset") << "self-offset" << 0x04 << none << 0 << "";
        QTest::newRow("self-gain") << "self-gain" << 0x05 << none << 0 << "";
        QTest::newRow("system-offset") << "system-offset" << 0x06 << none << 0 << "";
        QTest::newRow("system-gain") << "system-gain" << 0x07 << none << 0 << "";
        const QString self = "Self calibration failed !\n";
        QTest::newRow("self, wrong check byte")
            << "self" << 0x03 << int(sim::FaultKind::WrongCheck) << 1 << self;
        QTest::newRow("self, wrong status")
            << "self" << 0x03 << int(sim::FaultKind::WrongStatus) << 1 << self;
        QTest::newRow("self, no answer")
            << "self" << 0x03 << int(sim::FaultKind::NoAnswer) << 1 << self;
        QTest::newRow("self-offset, wrong status")
            << "self-offset" << 0x04 << int(sim::FaultKind::WrongStatus) << 1
            << "Self offset calibration failed !\n";
        QTest::newRow("self-gain, no answer")
            << "self-gain" << 0x05 << int(sim::FaultKind::NoAnswer) << 1
            << "Self gain calibration failed !\n";
        QTest::newRow("system-offset, short reply")
            << "system-offset" << 0x06 << int(sim::FaultKind::ShortReply) << 1
            << "System offset calibration failed !\n";
        QTest::newRow("system-gain, wrong check byte")
            << "system-gain" << 0x07 << int(sim::FaultKind::WrongCheck) << 1
            << "System gain calibration failed !\n";
    }
    void calibrations() {
        QFETCH(QString, kind);
        QFETCH(int, code);
        QFETCH(int, fault);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        CliFixture cli(withFault(sim::FaultKind(fault), Command(code)));
        const CliRun run = cli.run({"--json", "calibrate", kind.toStdString()});
        QCOMPARE(run.code, exitCode);
        QCOMPARE(run.err, message.toStdString());
        QCOMPARE(cli.evm.frames(),
                 (std::vector<Frame>{frame(Command::Handshake), frame(Command(code))}));
        if (exitCode == 0) {
            QCOMPARE(run.json()["calibration"].toString(), kind);
        }
    }

    // The window is silent about a power command's wrong reply; the command
    // line says so itself.
    void powerCommands_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("exitCode");
        const int none = int(sim::FaultKind::None);
        QTest::newRow("standby") << "standby" << 0x08 << none << 0;
        QTest::newRow("wakeup") << "wakeup" << 0x0C << none << 0;
        QTest::newRow("power-down") << "power-down" << 0x09 << none << 0;
        QTest::newRow("standby, no answer")
            << "standby" << 0x08 << int(sim::FaultKind::NoAnswer) << 1;
        QTest::newRow("wakeup, wrong status")
            << "wakeup" << 0x0C << int(sim::FaultKind::WrongStatus) << 1;
        QTest::newRow("power-down, wrong check byte")
            << "power-down" << 0x09 << int(sim::FaultKind::WrongCheck) << 1;
    }
    void powerCommands() {
        QFETCH(QString, command);
        QFETCH(int, code);
        QFETCH(int, fault);
        QFETCH(int, exitCode);
        CliFixture cli(withFault(sim::FaultKind(fault), Command(code)));
        const CliRun run = cli.run({command.toStdString()});
        QCOMPARE(run.code, exitCode);
        QCOMPARE(cli.evm.frames(),
                 (std::vector<Frame>{frame(Command::Handshake), frame(Command(code))}));
        if (exitCode == 0) {
            QCOMPARE(run.out, command.toStdString() + " done on ttyEVM\n");
            QVERIFY(run.err.empty());
        } else {
            QCOMPARE(run.err,
                     "orvellin-cli: the EVM did not confirm " + command.toStdString() + "\n");
        }
    }
};

}  // namespace

ORV_REGISTER_TEST(DeviceCommandTest);
#include "test_device.moc"
