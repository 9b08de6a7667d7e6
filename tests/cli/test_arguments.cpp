// SPDX-License-Identifier: GPL-3.0-or-later
// The command line as typed: what is refused before anything is sent, and
// what --help, --version and --json promise.

#include <QJsonArray>

#include "cli_fixture.h"
#include "test_registry.h"

using namespace orv;
using namespace orv::test;

using Args = std::vector<std::string>;
Q_DECLARE_METATYPE(Args)

namespace {

class ArgumentTest final : public QObject {
    Q_OBJECT
private slots:
    // Every refusal happens before a port is listed, a device made or the
    // simulator started: the EVM sees no frame at all.
    void refusesBadCommandLines_data() {
        QTest::addColumn<Args>("args");
        QTest::addColumn<QString>("complaint");
        QTest::newRow("no command") << Args{} << "no command";
        QTest::newRow("options alone") << Args{"--simulate", "--port", "ttyEVM"} << "no command";
        QTest::newRow("unknown command") << Args{"frobnicate"} << "unknown command 'frobnicate'";
        QTest::newRow("unknown option") << Args{"regs", "--fast"} << "unknown option '--fast'";
        QTest::newRow("flag with a value") << Args{"--simulate=yes", "regs"} << "takes no value";
        QTest::newRow("port without a name") << Args{"regs", "--port"} << "--port needs a value";
        QTest::newRow("regs with an argument") << Args{"regs", "MUX"} << "takes no arguments";
        QTest::newRow("reset with an argument") << Args{"reset", "now"} << "takes no arguments";
        QTest::newRow("write nothing") << Args{"write"} << "write takes NAME=HEX";
        QTest::newRow("write without value") << Args{"write", "MUX"} << "NAME=HEX";
        QTest::newRow("write unknown register") << Args{"write", "DRAT=F0"} << "no register 'DRAT'";
        QTest::newRow("write three digits") << Args{"write", "MUX=100"} << "bad value for MUX";
        QTest::newRow("write not hexadecimal") << Args{"write", "MUX=G1"} << "bad value for MUX";
        QTest::newRow("write empty value") << Args{"write", "MUX="} << "bad value for MUX";
        QTest::newRow("write negative") << Args{"write", "IO=-1"} << "bad value for IO";
        // The good writes before a bad one are not sent either.
        QTest::newRow("write good then bad")
            << Args{"write", "MUX=23", "ADCON=XYZ"} << "bad value for ADCON";
        QTest::newRow("set nothing") << Args{"set"} << "set takes FIELD=VALUE";
        QTest::newRow("set unknown field") << Args{"set", "speed=1"} << "no field 'speed'";
        QTest::newRow("gain 3") << Args{"set", "gain=3"} << "bad gain '3'";
        QTest::newRow("gain 128") << Args{"set", "gain=128"} << "bad gain '128'";
        QTest::newRow("rate off the list") << Args{"set", "rate=20"} << "bad rate '20'";
        QTest::newRow("rate with unit") << Args{"set", "rate=30000SPS"} << "bad rate";
        QTest::newRow("mux same channel")
            << Args{"set", "mux=AIN1,ain1"} << "AIN+ and AIN- cannot select the same channel !";
        QTest::newRow("mux one input") << Args{"set", "mux=AIN1"} << "mux takes two inputs";
        QTest::newRow("mux AIN8") << Args{"set", "mux=AIN8,AIN1"} << "AIN0 to AIN7 and AINCOM";
        QTest::newRow("buffer maybe") << Args{"set", "buffer=maybe"} << "bad buffer 'maybe'";
        QTest::newRow("clock-out /8") << Args{"set", "clock-out=clkin/8"} << "bad clock-out";
        QTest::newRow("sensor 5") << Args{"set", "sensor=5"} << "bad sensor '5'";
        QTest::newRow("field twice") << Args{"set", "gain=2", "GAIN=4"} << "given twice";
        QTest::newRow("calibrate nothing") << Args{"calibrate"} << "takes 1 argument";
        QTest::newRow("calibrate full") << Args{"calibrate", "full"} << "calibrate takes self";
        QTest::newRow("count 0") << Args{"collect", "-n", "0"} << "bad -n '0'";
        QTest::newRow("count 65536") << Args{"collect", "-n", "65536"} << "bad -n '65536'";
        QTest::newRow("count 1e3") << Args{"collect", "-n", "1e3"} << "bad -n '1e3'";
        QTest::newRow("count without value") << Args{"collect", "-n"} << "-n needs a value";
        QTest::newRow("count twice") << Args{"collect", "-n", "5", "-n", "6"} << "given twice";
        QTest::newRow("output .dat") << Args{"collect", "-o", "run.dat"} << "-o takes a .csv";
        QTest::newRow("output without extension") << Args{"collect", "-o", "run"} << "-o takes";
        QTest::newRow("output dot in folder") << Args{"collect", "-o", "a.d/run"} << "-o takes";
        QTest::newRow("output for regs") << Args{"regs", "-o", "x.csv"} << "does not apply";
        QTest::newRow("collect with a file") << Args{"collect", "run.csv"} << "takes no arg";
        QTest::newRow("count with a file")
            << Args{"analyze", "x.txt", "-n", "100"} << "-n does not apply to analyze with a file";
        QTest::newRow("analyze gain 3") << Args{"analyze", "--gain", "3"} << "bad --gain '3'";
        QTest::newRow("analyze vref 0") << Args{"analyze", "--vref=0"} << "bad --vref '0'";
        QTest::newRow("analyze vref -1") << Args{"analyze", "--vref", "-1"} << "bad --vref";
        QTest::newRow("analyze rate nan") << Args{"analyze", "--rate", "nan"} << "bad --rate";
        QTest::newRow("analyze two files") << Args{"analyze", "a.txt", "b.txt"} << "at most one";
        QTest::newRow("gain for regs") << Args{"regs", "--gain", "2"} << "does not apply to regs";
        QTest::newRow("profile alone") << Args{"profile"} << "profile takes save FILE";
        QTest::newRow("profile copy") << Args{"profile", "copy", "x.ini"} << "profile takes";
        QTest::newRow("profile load nothing") << Args{"profile", "load"} << "profile takes";
        QTest::newRow("with --simulate") << Args{"--simulate", "set", "rate=7"} << "bad rate";
        // sweep and log
        QTest::newRow("gain 3") << Args{"sweep", "--gain", "1,3"} << "gain 3 is not one of";
        QTest::newRow("gain 128") << Args{"sweep", "--gain", "128"} << "gain 128 is not one of";
        QTest::newRow("gain word") << Args{"sweep", "--gain", "1,x"} << "bad --gain '1,x'";
        QTest::newRow("gain twice") << Args{"sweep", "--gain", "8,1,8"} << "a gain is chosen twice";
        QTest::newRow("empty item") << Args{"sweep", "--gain", "1,,8"} << "bad --gain '1,,8'";
        QTest::newRow("trailing comma") << Args{"sweep", "--rate", "10,"} << "bad --rate '10,'";
        QTest::newRow("no gain") << Args{"sweep", "--gain="} << "bad --gain ''";
        QTest::newRow("rate 20") << Args{"sweep", "--rate", "10,20"} << "data rate 20 SPS";
        QTest::newRow("rate word") << Args{"sweep", "--rate", "fast"} << "bad --rate 'fast'";
        QTest::newRow("rate twice")
            << Args{"sweep", "--rate", "2.5,2.50"} << "a data rate is chosen twice";
        QTest::newRow("sweep -n 1") << Args{"sweep", "-n", "1"} << "bad -n '1' (a count from 2";
        QTest::newRow("sweep -n 65532") << Args{"sweep", "-n", "65532"} << "to 65531)";
        QTest::newRow("calibrate=no") << Args{"sweep", "--no-calibrate=no"} << "takes no value";
        QTest::newRow("calibrate twice")
            << Args{"sweep", "--no-calibrate", "--no-calibrate"} << "given twice";
        QTest::newRow("sweep -o nothing") << Args{"sweep", "-o", ""} << "-o needs a file name";
        QTest::newRow("sweep argument") << Args{"sweep", "table.csv"} << "takes no arguments";
        QTest::newRow("sweep --vref") << Args{"sweep", "--vref", "2"} << "does not apply to sweep";
        QTest::newRow("sweep --blocks") << Args{"sweep", "--blocks", "2"} << "does not apply";
        QTest::newRow("collect --no-calibrate")
            << Args{"collect", "--no-calibrate"} << "does not apply to collect";
        QTest::newRow("log without -o") << Args{"log", "--blocks", "3"} << "log needs -o FILE";
        QTest::newRow("log -n 0") << Args{"log", "-n", "0", "-o", "t.csv"} << "bad -n '0'";
        QTest::newRow("log -n 65536") << Args{"log", "-n", "65536", "-o", "t.csv"} << "bad -n";
        QTest::newRow("blocks 0") << Args{"log", "--blocks", "0", "-o", "t"} << "bad --blocks '0'";
        QTest::newRow("blocks -1") << Args{"log", "--blocks=-1", "-o", "t"} << "bad --blocks";
        QTest::newRow("blocks 2.5") << Args{"log", "--blocks", "2.5", "-o", "t"} << "bad --blocks";
        QTest::newRow("blocks and for")
            << Args{"log", "--blocks", "2", "--for", "1m", "-o", "t"} << "exclude each other";
        QTest::newRow("for 0") << Args{"log", "--for", "0", "-o", "t"} << "bad --for '0'";
        QTest::newRow("for -5m") << Args{"log", "--for", "-5m", "-o", "t"} << "bad --for '-5m'";
        QTest::newRow("for 10x") << Args{"log", "--for", "10x", "-o", "t"} << "bad --for '10x'";
        QTest::newRow("for unit alone") << Args{"log", "--for", "h", "-o", "t"} << "bad --for 'h'";
        QTest::newRow("for 1 h") << Args{"log", "--for", "1 h", "-o", "t"} << "bad --for";
        QTest::newRow("for inf") << Args{"log", "--for", "infh", "-o", "t"} << "bad --for";
        QTest::newRow("for ages") << Args{"log", "--for", "1e20d", "-o", "t"} << "bad --for";
        QTest::newRow("keep nowhere")
            << Args{"log", "--keep-blocks=", "-o", "t"} << "needs a folder";
        QTest::newRow("log --gain") << Args{"log", "--gain", "1", "-o", "t"} << "does not apply";
        QTest::newRow("log argument") << Args{"log", "-o", "t", "now"} << "takes no arguments";
        QTest::newRow("collect --for") << Args{"collect", "--for", "1s"} << "does not apply";
    }
    void refusesBadCommandLines() {
        QFETCH(Args, args);
        QFETCH(QString, complaint);
        CliFixture cli;
        const CliRun run = cli.run(args);
        QCOMPARE(run.code, 2);
        QVERIFY2(run.errSays("orvellin-cli: ") && run.errSays(complaint.toStdString()),
                 run.err.c_str());
        QVERIFY(run.out.empty());
        QVERIFY(cli.touchedNothing());
    }

    // With --json a refused line still prints one document, whatever else
    // the line holds.
    void refusalWithJsonIsOneDocument() {
        CliFixture cli;
        const CliRun run = cli.run({"set", "gain=3", "--json"});
        QCOMPARE(run.code, 2);
        const QJsonObject error = run.json()["error"].toObject();
        QCOMPARE(error["exit_code"].toInt(), 2);
        QCOMPARE(error["messages"].toArray().size(), 1);
        QVERIFY(error["messages"][0].toString().contains("bad gain '3'"));
        QVERIFY(cli.touchedNothing());
    }

    void helpListsCommandsAndExitCodes_data() {
        QTest::addColumn<Args>("args");
        QTest::newRow("--help") << Args{"--help"};
        QTest::newRow("-h after a command") << Args{"regs", "-h"};
        QTest::newRow("beside a bad value") << Args{"set", "gain=3", "--help"};
    }
    void helpListsCommandsAndExitCodes() {
        QFETCH(Args, args);
        CliFixture cli;
        const CliRun run = cli.run(args);
        QCOMPARE(run.code, 0);
        QVERIFY(run.out.starts_with("Usage: orvellin-cli"));
        for (const char* command :
             {"scan", "regs", "write", "set", "calibrate", "standby", "wakeup", "power-down",
              "reset", "collect", "analyze", "profile save", "profile load"}) {
            QVERIFY2(run.out.find(command) != std::string::npos, command);
        }
        for (const char* exitCode :
             {"\n  0 ", "\n  1 ", "\n  2 ", "\n  3 ", "\n  4 ", "\n  130 "}) {
            QVERIFY2(run.out.find(exitCode) != std::string::npos, exitCode);
        }
        QVERIFY(run.err.empty());
        QVERIFY(cli.touchedNothing());
    }

    void versionIsTheProjects() {
        CliFixture cli;
        const CliRun run = cli.run({"--version"});
        QCOMPARE(run.code, 0);
        QCOMPARE(run.out, std::string("orvellin-cli ") + ORVELLIN_VERSION + "\n");
        QVERIFY(cli.touchedNothing());
    }

    // Options stand anywhere, in either spelling; "--" lets a file name
    // start with "-".
    void optionsStandAnywhere_data() {
        QTest::addColumn<Args>("args");
        QTest::newRow("before") << Args{"--json", "--port", "ttyEVM", "regs"};
        QTest::newRow("after") << Args{"regs", "--port=ttyEVM", "--json"};
        QTest::newRow("after --") << Args{"--json", "regs", "--"};
    }
    void optionsStandAnywhere() {
        QFETCH(Args, args);
        CliFixture cli;
        const CliRun run = cli.run(args);
        QCOMPARE(run.code, 0);
        QCOMPARE(run.json()["registers"].toObject().size(), 11);
    }

    void fileNameAfterDoubleDash() {
        CliFixture cli;
        const CliRun run = cli.run({"analyze", "--", "-missing.txt"});
        QCOMPARE(run.code, 4);
        QVERIFY2(run.errSays("-missing.txt"), run.err.c_str());
        QVERIFY(cli.touchedNothing());
    }
};

}  // namespace

ORV_REGISTER_TEST(ArgumentTest);
#include "test_arguments.moc"
