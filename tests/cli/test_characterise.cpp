// SPDX-License-Identifier: GPL-3.0-or-later
// sweep and log: what they refuse, what they print and write, and that an
// early end keeps what was measured; then a long run of the real executable
// read back by pandas and recomputed by numpy from the blocks it kept.

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QStringList>
#include <cerrno>
#include <chrono>
#include <system_error>

#include "capture/capture.h"
#include "capture/data_files.h"
#include "characterise/long_run.h"
#include "characterise/trend.h"
#include "cli_fixture.h"
#include "sim/reaction.h"
#include "test_registry.h"

using namespace orv;
using namespace orv::test;
using namespace std::chrono_literals;

using Args = std::vector<std::string>;
Q_DECLARE_METATYPE(Args)

namespace {

// trend_oracle.py's exit status when numpy or pandas is missing.
constexpr int kModuleMissing = 3;

// 0 V against 0 V: noise and offset only.
sim::EvmConfig shortedInput() {
    sim::EvmConfig config;
    config.toneHz = 0;
    return config;
}

std::optional<characterise::Trend> trendIn(const std::string& path) {
    const FileReading file = readWholeFile(path, 1 << 20);
    if (!file.bytes) {
        qWarning("%s", file.error.c_str());
        return std::nullopt;
    }
    characterise::TrendReading reading = characterise::readTrend(*file.bytes);
    if (!reading.trend) {
        qWarning("%s", reading.error.c_str());
    }
    return reading.trend;
}

QStringList linesOf(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

// Paths named "@name" in `args` become files of `folder`.
Args inFolder(Args args, const QTemporaryDir& folder) {
    for (std::string& arg : args) {
        if (arg.starts_with('@')) {
            arg = pathIn(folder, arg.c_str() + 1);
        }
    }
    return args;
}

const QStringList kCellKeys = {"gain",
                               "rate_sps",
                               "rms_noise_uv",
                               "pp_noise_uv",
                               "effective_resolution_bits",
                               "noise_free_resolution_bits",
                               "mean_v"};

// Whether a CSV row holds a cell's JSON numbers, in the header's order,
// each read back as the same double.
bool rowHolds(const QString& row, const QJsonObject& cell) {
    const QStringList fields = row.split(',');
    if (fields.size() != kCellKeys.size()) {
        return false;
    }
    for (qsizetype k = 0; k < fields.size(); ++k) {
        if (fields[k].toDouble() != cell[kCellKeys[k]].toDouble()) {
            qWarning("%s: %s in the CSV", qPrintable(kCellKeys[k]), qPrintable(fields[k]));
            return false;
        }
    }
    return true;
}

// -n 64 over gains 1 and 64 at 1000 and 30000 SPS: 4 cells of 68 results.
const Args kSmallSweep = {"sweep", "--gain", "1,64", "--rate", "1000,30000", "-n", "64"};
constexpr int kResultsPerSmallCell = 4 + 64;

class CharacteriseCommandTest final : public QObject {
    Q_OBJECT
private slots:
    // The least time a sweep takes comes first, before the EVM is looked
    // for: each cell's results at its rate or on the wire (4 bytes of ten
    // bits at 115200 baud each), whichever is longer, and 200.78 ms for a
    // self calibration (its 200 ms pause, 9 bytes on the wire). Default:
    // 7 × (25.6 + 2.56 + 0.256 + 0.0889) s = 199.53 s, plus 28 × 0.20078 s
    // = 205.16 s; the full table at 2 results a cell 7 × 1.786 s of
    // results, 112 × 0.20078 s of calibrations.
    void tellsTheLeastTimeFirst_data() {
        QTest::addColumn<Args>("args");
        QTest::addColumn<QString>("estimate");
        QTest::newRow("default") << Args{"sweep"}
                                 << "sweep of 28 cells, 256 results each: at least 3 min 26 s";
        QTest::newRow("without calibration")
            << Args{"sweep", "--no-calibrate"}
            << "sweep of 28 cells, 256 results each: at least 3 min 20 s";
        QTest::newRow("one slow cell") << Args{"sweep", "--gain", "1", "--rate", "2.5"}
                                       << "sweep of 1 cell, 256 results each: at least 1 min 43 s";
        QTest::newRow("full table") << Args{"sweep", "--rate",
                                            "2.5,5,10,15,25,30,50,60,100,500,1000,2000,3750,7500,"
                                            "15000,30000",
                                            "-n", "2"}
                                    << "sweep of 112 cells, 2 results each: at least 35 s";
    }
    void tellsTheLeastTimeFirst() {
        QFETCH(Args, args);
        QFETCH(QString, estimate);
        CliFixture cli;
        cli.systemPorts.clear();
        const CliRun run = cli.run(args);
        QCOMPARE(run.code, 3);
        QVERIFY2(run.err.starts_with("orvellin-cli: " + estimate.toStdString() + "\n"),
                 run.err.c_str());
        QVERIFY(run.out.empty());
    }

    // Rate by rate, gain by gain, as JSON and as the CSV of -o, whose rows
    // hold the same numbers; the registers are left as they were found.
    // The figures are the simulator's noise (its README's table: at gain 1
    // 3.99 µV RMS at 1000 SPS and 21.9 at 30000, at gain 64 1.20 and 6.59)
    // within the spread of 64 results (about 9 % for one standard
    // deviation of an RMS; 30 % allowed).
    void sweepPrintsAndWritesTheCells() {
        CliFixture cli(shortedInput());
        const sim::Registers found = cli.evm.registers();
        QTemporaryDir folder;
        const std::string path = pathIn(folder, "cells.csv");
        Args args = kSmallSweep;
        args.insert(args.end(), {"--json", "-o", path});
        const CliRun run = cli.run(args);
        QCOMPARE(run.code, 0);
        QCOMPARE(cli.evm.registers(), found);
        QVERIFY2(run.errSays("orvellin-cli: The registers were written back as they were found.\n"),
                 run.err.c_str());
        QCOMPARE(run.json().keys(), QStringList{"cells"});

        const QJsonArray cells = run.json()["cells"].toArray();
        struct Expected {
            int gain;
            double rate;
            double rmsUv;
        };
        const Expected expected[] = {
            {1, 1000, 3.99}, {64, 1000, 1.20}, {1, 30000, 21.9}, {64, 30000, 6.59}};
        QCOMPARE(cells.size(), 4);
        const QStringList lines = linesOf(path);
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines[0], kCellKeys.join(','));
        for (int k = 0; k < 4; ++k) {
            const QJsonObject cell = cells[k].toObject();
            QStringList keys = cell.keys();
            keys.sort();
            QStringList expectedKeys = kCellKeys;
            expectedKeys.sort();
            QCOMPARE(keys, expectedKeys);
            QCOMPARE(cell["gain"].toInt(), expected[k].gain);
            QCOMPARE(cell["rate_sps"].toDouble(), expected[k].rate);
            const double rms = cell["rms_noise_uv"].toDouble();
            QVERIFY2(std::abs(rms / expected[k].rmsUv - 1) < 0.3, qPrintable(QString::number(rms)));
            QVERIFY(cell["pp_noise_uv"].toDouble() > rms);
            QVERIFY(rowHolds(lines[k + 1], cell));
        }

        // Without --json: the three tables, each under its heading.
        const CliRun tables = cli.run(kSmallSweep);
        QCOMPARE(tables.code, 0);
        const QString text = QString::fromStdString(tables.out);
        qsizetype at = 0;
        for (const char* heading : {"## µV RMS\n\n", "## Effective resolution (bits)\n\n",
                                    "## Noise-free resolution (bits)\n\n"}) {
            at = text.indexOf(QString::fromUtf8(heading), at);
            QVERIFY2(at >= 0, heading);
            const QStringList rows = text.mid(at).split('\n').mid(2, 4);
            QVERIFY2(rows[0].startsWith("| SPS \\ gain | 1 | 64 |"), qPrintable(rows[0]));
            QVERIFY2(rows[2].startsWith("| 1000 | "), qPrintable(rows[2]));
            QVERIFY2(rows[3].startsWith("| 30000 | "), qPrintable(rows[3]));
        }
    }

    // Ctrl-C, or an EVM that stops answering or goes away, during the third
    // cell: the two cells measured are printed and written, and the
    // registers go back as they were where the EVM still answers.
    void sweepKeepsTheCellsMeasured_data() {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("restored");
        QTest::newRow("Ctrl-C") << "stop" << 130 << true;
        QTest::newRow("silent EVM") << "silent" << 1 << true;
        QTest::newRow("unplugged") << "unplug" << 1 << false;
    }
    void sweepKeepsTheCellsMeasured() {
        QFETCH(QString, ending);
        QFETCH(int, code);
        QFETCH(bool, restored);
        CliFixture cli(shortedInput());
        const sim::Registers found = cli.evm.registers();
        // A fault takes effect from the next data command: at the second
        // cell's last result. The others act in the third cell.
        const int at = 2 * kResultsPerSmallCell + (ending == "silent" ? 0 : 10);
        int results = 0;
        cli.stopRequested = [&] {
            if (++results != at) {
                return false;
            }
            if (ending == "silent") {
                cli.evm.setFault({.kind = sim::FaultKind::SilentAfter, .count = 0});
            } else if (ending == "unplug") {
                cli.bus.unplug(CliFixture::kPort);
            }
            return ending == "stop";
        };
        QTemporaryDir folder;
        const std::string path = pathIn(folder, "cells.csv");
        Args args = kSmallSweep;
        args.insert(args.end(), {"--json", "-o", path});
        const CliRun run = cli.run(args);
        QCOMPARE(run.code, code);
        const QJsonArray cells = run.json()["cells"].toArray();
        QCOMPARE(cells.size(), 2);
        QCOMPARE(run.json()["error"]["exit_code"].toInt(), code);
        const QStringList lines = linesOf(path);
        QCOMPARE(lines.size(), 3);
        QVERIFY(rowHolds(lines[2], cells[1].toObject()));
        QCOMPARE(run.errSays("orvellin-cli: stopped after 2 of 4 cells\n"), ending == "stop");
        QVERIFY2(run.errSays(restored ? "The registers were written back as they were found."
                                      : "The registers could not be written back;"),
                 run.err.c_str());
        if (restored) {
            QCOMPARE(cli.evm.registers(), found);
        }
    }

    // A CSV that cannot be written is told with its name; the tables are
    // still printed.
    void sweepIntoAMissingFolder() {
        CliFixture cli(shortedInput());
        QTemporaryDir folder;
        const std::string path = pathIn(folder, "gone/cells.csv");
        Args args = kSmallSweep;
        args.insert(args.end(), {"-o", path});
        const CliRun run = cli.run(args);
        QCOMPARE(run.code, 4);
        QVERIFY2(run.errSays("Cannot create the file \"" + path + "\""), run.err.c_str());
        QVERIFY(run.out.starts_with("## µV RMS\n"));
    }

    // One row a block, under the header of the run's start: the registers
    // read, the port, the tool, the results per block.
    void logWritesARowPerBlock() {
        CliFixture cli(shortedInput());
        QTemporaryDir folder;
        const std::string path = pathIn(folder, "trend.csv");
        const CliRun run = cli.run({"log", "--blocks", "3", "-n", "100", "-o", path});
        QCOMPARE(run.code, 0);
        QCOMPARE(run.out, "3 blocks from ttyEVM written to " + path + "\n");
        QVERIFY(run.err.empty());
        QCOMPARE(cli.framesOf(Command::ReadData),
                 std::vector<Frame>(3, frame(Command::ReadData, 0x00, 0x64)));
        const std::optional<characterise::Trend> trend = trendIn(path);
        QVERIFY(trend);
        QCOMPARE(trend->rows.size(), std::size_t(3));
        QCOMPARE(trend->count, std::size_t(100));
        const CaptureInfo& info = trend->info;
        QCOMPARE(info.port, std::string("ttyEVM"));
        QCOMPARE(info.tool, std::string("orvellin ") + ORVELLIN_VERSION);
        QCOMPARE(utcText(*info.created), std::string("2026-12-11T12:00:00Z"));
        QCOMPARE(info.registers, std::optional(sim::kPowerOnRegisters));
        QCOMPARE(info.scale.gain, 1);
        QCOMPARE(info.scale.rateHz, std::optional(30000.0));

        const CliRun json = cli.run({"--json", "log", "--blocks=1", "-o", path});
        QCOMPARE(json.code, 0);
        QCOMPARE(json.json(), (QJsonObject{{"file", QString::fromStdString(path)},
                                           {"port", "ttyEVM"},
                                           {"blocks", 1},
                                           {"keep_folder", QJsonValue::Null}}));
        QCOMPARE(trendIn(path)->rows.size(), std::size_t(1));
    }

    // On a paced wire the manual clock moves with the data: 256 results
    // take 1024 bytes at 11520 bytes a second, 88.9 ms, so in one second
    // 12 blocks start, the last at 977.8 ms.
    void logForAWhile() {
        CliFixture cli(shortedInput());
        cli.bus.addEvm("ttyPaced", shortedInput(), sim::Wire::Paced);
        cli.systemPorts = {"ttyPaced"};
        QTemporaryDir folder;
        const std::string path = pathIn(folder, "trend.csv");
        const CliRun run = cli.run({"log", "--for", "1s", "-o", path});
        QCOMPARE(run.code, 0);
        QCOMPARE(run.out, "12 blocks from ttyPaced written to " + path + "\n");
        const std::optional<characterise::Trend> trend = trendIn(path);
        QVERIFY(trend);
        QCOMPARE(trend->rows.size(), std::size_t(12));
        const auto last = trend->rows.back().start - trend->rows.front().start;
        QVERIFY(last > 970ms && last < 1000ms);
    }

    // However a long run ends early, the trend keeps every row written and
    // the user is told how many.
    void logKeepsTheRowsWhenCutShort_data() {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("note");
        QTest::newRow("Ctrl-C") << "stop" << 130 << "orvellin-cli: stopped; %1 keeps its 2 rows";
        QTest::newRow("unplugged")
            << "unplug" << 1 << "orvellin-cli: the EVM failed; %1 keeps its 2 rows";
        QTest::newRow("kept block in the way")
            << "in the way" << 4 << "orvellin-cli: %1 keeps its 2 rows";
    }
    void logKeepsTheRowsWhenCutShort() {
        QFETCH(QString, ending);
        QFETCH(int, code);
        QFETCH(QString, note);
        constexpr int kCount = 50;
        CliFixture cli(shortedInput());
        QTemporaryDir folder;
        const std::string path = pathIn(folder, "trend.csv");
        const std::string keep = pathIn(folder, "kept");
        // A folder where the second block's capture would go.
        QVERIFY(QDir().mkpath(QString::fromStdString(characterise::keptBlockPath(keep, 2))));
        int results = 0;
        cli.stopRequested = [&] {
            if (++results == 2 * kCount + 5 && ending == "unplug") {
                cli.bus.unplug(CliFixture::kPort);
            }
            return ending == "stop" && results == 2 * kCount + 5;
        };
        Args args{"--json", "log", "-n", "50", "-o", path};
        if (ending == "in the way") {
            args.insert(args.end(), {"--keep-blocks", keep});
        }
        const CliRun run = cli.run(args);
        QCOMPARE(run.code, code);
        QVERIFY2(run.errSays(note.arg(QString::fromStdString(path)).toStdString() + "\n"),
                 run.err.c_str());
        QCOMPARE(run.json()["blocks"].toInt(), 2);
        QCOMPARE(run.json()["error"]["exit_code"].toInt(), code);
        const std::optional<characterise::Trend> trend = trendIn(path);
        QVERIFY(trend);
        QCOMPARE(trend->rows.size(), std::size_t(2));
    }

    // What cannot be created ends the run before the first block, with the
    // file's or folder's name.
    void logIntoUnwritablePlaces_data() {
        QTest::addColumn<Args>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("trend in a missing folder") << Args{"log", "-o", "@gone/trend.csv"}
                                                   << "Cannot create the file \"%1gone/trend.csv\"";
        QTest::newRow("keep folder is a file")
            << Args{"log", "-o", "@trend.csv", "--keep-blocks", "@file"}
            << "Cannot create the folder \"%1file\"";
        QTest::newRow("keep folder under a file")
            << Args{"log", "-o", "@trend.csv", "--keep-blocks", "@file/kept"}
            << "Cannot create the folder \"%1file/kept\"";
#ifdef __linux__
        QTest::newRow("full disk")
            << Args{"log", "-o", "/dev/full"}
            << QString::fromStdString("Cannot write the file \"/dev/full\": " +
                                      std::generic_category().message(ENOSPC));
#endif
    }
    void logIntoUnwritablePlaces() {
        QFETCH(Args, args);
        QFETCH(QString, message);
        QTemporaryDir folder;
        QFile file(folder.filePath("file"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        CliFixture cli;
        const CliRun run = cli.run(inFolder(args, folder));
        QCOMPARE(run.code, 4);
        const QString prefix = folder.path() + "/";
        const QString expected = message.contains("%1") ? message.arg(prefix) : message;
        QVERIFY2(run.errSays(expected.toStdString()), run.err.c_str());
        QVERIFY(run.out.empty());
        QVERIFY(cli.framesOf(Command::ReadData).empty());
    }

    // --keep-blocks makes its folder and keeps every block as a capture
    // of the run's settings.
    void logKeepsTheBlocks() {
        CliFixture cli(shortedInput());
        QTemporaryDir folder;
        const std::string keep = pathIn(folder, "kept/deeper");
        const std::string path = pathIn(folder, "trend.csv");
        const CliRun run = cli.run(
            {"--json", "log", "--blocks", "3", "-n", "40", "-o", path, "--keep-blocks", keep});
        QCOMPARE(run.code, 0);
        QCOMPARE(run.json()["keep_folder"].toString().toStdString(), keep);
        QCOMPARE(QDir(QString::fromStdString(keep)).entryList(QDir::Files),
                 (QStringList{"block-000001.csv", "block-000002.csv", "block-000003.csv"}));
        for (std::size_t number = 1; number <= 3; ++number) {
            const FileReading file =
                readWholeFile(characterise::keptBlockPath(keep, number), 1 << 20);
            QVERIFY2(file.bytes, file.error.c_str());
            const CaptureReading reading = readCapture(*file.bytes);
            QVERIFY2(reading.capture, reading.error.c_str());
            QCOMPARE(reading.capture->codes.size(), std::size_t(40));
            QCOMPARE(reading.capture->info.port, std::string("ttyEVM"));
            QCOMPARE(reading.capture->info.registers, std::optional(sim::kPowerOnRegisters));
        }
    }

    // On a terminal each cell and each block has its bar, after its number.
    void progressNamesCellsAndBlocks_data() {
        QTest::addColumn<Args>("args");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("sweep") << kSmallSweep
                               << QStringList{"\rcell 1/4, 1 s left [", "\rcell 4/4, 1 s left ["};
        QTest::newRow("log of blocks") << Args{"log", "--blocks", "2", "-o", "@t.csv"}
                                       << QStringList{"\rblock 1/2 [", "\rblock 2/2 ["};
        QTest::newRow("log until Ctrl-C")
            << Args{"log", "-o", "@t.csv"} << QStringList{"\rblock 1 [", "\rblock 3 ["};
    }
    void progressNamesCellsAndBlocks() {
        QFETCH(Args, args);
        QFETCH(QStringList, labels);
        CliFixture cli(shortedInput());
        cli.errIsTerminal = true;
        int results = 0;
        cli.stopRequested = [&results] { return ++results > 600; };
        QTemporaryDir folder;
        const CliRun run = cli.run(inFolder(args, folder));
        for (const QString& label : labels) {
            QVERIFY2(run.errSays(label.toStdString()), run.err.c_str());
        }
        QVERIFY(!run.errSays("Collecting ["));
    }

    // The real executable and its simulated EVM: 100 blocks of 64 results
    // into a trend that pandas reads, each row recomputed by numpy from the
    // block kept beside it.
    void trendReadsBackInPandas() {
        const QString cli = qEnvironmentVariable("ORVELLIN_CLI");
        if (cli.isEmpty()) {
            QSKIP("ORVELLIN_CLI names the executable");
        }
        if (QStringLiteral(ORVELLIN_TEST_PYTHON).isEmpty()) {
            QFAIL("no Python 3 with numpy was found at configuration: install python3-numpy");
        }
        QTemporaryDir folder;
        const QString trend = QDir::toNativeSeparators(folder.filePath("trend.csv"));
        const QString kept = QDir::toNativeSeparators(folder.filePath("blocks"));
        QProcess process;
        process.start(cli, {"--simulate", "log", "-n", "64", "--blocks", "100", "-o", trend,
                            "--keep-blocks", kept});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()),
                 "100 blocks from SIM written to " + trend + "\n");

        QProcess python;
        python.start(ORVELLIN_TEST_PYTHON, {ORVELLIN_TREND_ORACLE, trend, kept, "100", "64"});
        QVERIFY2(python.waitForFinished(120000), qPrintable(python.errorString()));
        const QString output = QString::fromUtf8(python.readAllStandardOutput());
        if (python.exitCode() == kModuleMissing) {
            QSKIP(qPrintable("the oracle cannot run: " + output.trimmed()));
        }
        QVERIFY2(python.exitStatus() == QProcess::NormalExit && python.exitCode() == 0,
                 qPrintable(output + python.readAllStandardError()));
        QCOMPARE(output, QStringLiteral("100 rows agree\n"));
    }
};

}  // namespace

ORV_REGISTER_TEST(CharacteriseCommandTest);
#include "test_characterise.moc"
