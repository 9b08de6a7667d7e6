// SPDX-License-Identifier: GPL-3.0-or-later
// collect and analyze: the files written, the figures printed, Ctrl-C, the
// progress bar and the failures.

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "capture/capture.h"
#include "cli_fixture.h"
#include "test_registry.h"

using namespace orv;
using namespace orv::test;

using Args = std::vector<std::string>;
using Codes = std::vector<std::int32_t>;
Q_DECLARE_METATYPE(Args)

namespace {

// Gain 8 at 1000 SPS, reading the 50 Hz tone on AIN0.
sim::EvmConfig gain8At1000() {
    sim::EvmConfig config;
    config.powerOn[ADCON] = 0x23;
    config.powerOn[DRATE] = 0xA1;
    return config;
}

QByteArray contentOf(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const std::string& path, const std::string& content) {
    QFile file(QString::fromStdString(path));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content.data(), qint64(content.size()));
}

// A text file as "Save File" writes it, built here from the format alone.
std::string textFile(const Codes& codes) {
    std::string text;
    char line[16];
    for (const std::int32_t code : codes) {
        std::snprintf(line, sizeof line, "%9d\r\n", int(code));
        text += line;
    }
    return text;
}

// The values of raw items, each of which must carry the sum of its data
// bytes.
std::optional<Codes> rawCodes(const QByteArray& raw) {
    if (raw.size() % 4 != 0) {
        return std::nullopt;
    }
    Codes codes;
    for (qsizetype k = 0; k < raw.size(); k += 4) {
        const auto byte = [&](qsizetype i) { return std::uint8_t(raw[k + i]); };
        if (std::uint8_t(byte(0) + byte(1) + byte(2)) != byte(3)) {
            return std::nullopt;
        }
        const std::int32_t value = (byte(0) << 16) | (byte(1) << 8) | byte(2);
        codes.push_back(byte(0) >= 0x80 ? value - (1 << 24) : value);
    }
    return codes;
}

Codes codesOf(const QJsonArray& array) {
    Codes codes;
    for (const QJsonValue& value : array) {
        codes.push_back(value.toInt());
    }
    return codes;
}

const QStringList kFigureKeys = {"count",
                                 "gain",
                                 "vref_v",
                                 "rate_sps",
                                 "mean_code",
                                 "mean_v",
                                 "min_code",
                                 "max_code",
                                 "rms_noise_codes",
                                 "rms_noise_uv",
                                 "pp_noise_codes",
                                 "pp_noise_uv",
                                 "effective_resolution_bits",
                                 "noise_free_resolution_bits",
                                 "fundamental_hz",
                                 "fundamental_dbfs",
                                 "snr_db",
                                 "thd_db",
                                 "sinad_db",
                                 "sfdr_db",
                                 "enob_bits"};
const QStringList kToneKeys = {"fundamental_hz", "fundamental_dbfs", "snr_db",   "thd_db",
                               "sinad_db",       "sfdr_db",          "enob_bits"};

// The error stream after the last bar drawn: the line blanked ("\r", blanks,
// "\r"), then `rest`, and no line ended before it.
bool blankedAfterBar(const std::string& err, const std::string& rest) {
    const std::size_t bar = err.rfind(" %");
    if (bar == std::string::npos || !err.ends_with(rest)) {
        return false;
    }
    const std::string between = err.substr(bar + 2, err.size() - rest.size() - bar - 2);
    return between.size() > 2 && between.front() == '\r' && between.back() == '\r' &&
           between.find_first_not_of(' ', 1) == between.size() - 1 &&
           err.substr(0, err.size() - rest.size()).find('\n') == std::string::npos;
}

QStringList sorted(QStringList keys) {
    keys.sort();
    return keys;
}

class BlockCommandTest final : public QObject {
    Q_OBJECT
private slots:
    // A capture records the registers read before the collection, the
    // start in UTC, the port and the tool; gain and rate come from the
    // registers. The same EVM collecting into the text and raw pair sends
    // the same codes (the simulated EVM is deterministic), which both files
    // carry in the panel's format.
    void collectWritesCaptureAndTextPair() {
        QTemporaryDir folder;
        const std::string capturePath = pathIn(folder, "run.csv");
        CliFixture first(gain8At1000());
        const CliRun captured = first.run({"collect", "-n", "300", "-o", capturePath});
        QCOMPARE(captured.code, 0);
        QCOMPARE(captured.out, "300 results from ttyEVM written to " + capturePath + "\n");
        const std::string written = contentOf(capturePath).toStdString();
        const CaptureReading reading = readCapture(written);
        QVERIFY2(reading.capture, reading.error.c_str());
        // The rows made while the results arrived are the writer's own.
        QCOMPARE(written, captureText(*reading.capture));
        const CaptureInfo& info = reading.capture->info;
        QCOMPARE(info.port, std::string("ttyEVM"));
        QCOMPARE(info.tool, std::string("orvellin ") + ORVELLIN_VERSION);
        QVERIFY(info.created && info.created->year == 2026 && info.created->month == 12 &&
                info.created->day == 11 && info.created->hour == 12 && info.created->minute == 0);
        QCOMPARE(info.registers, std::optional(gain8At1000().powerOn));
        QCOMPARE(info.scale.gain, 8);
        QCOMPARE(info.scale.rateHz, std::optional(1000.0));
        QCOMPARE(info.scale.vref, 2.5);
        QCOMPARE(first.framesOf(Command::ReadReg).size(), std::size_t(11));
        QCOMPARE(first.framesOf(Command::ReadData),
                 std::vector<Frame>{frame(Command::ReadData, 0x01, 0x2C)});

        const std::string textPath = pathIn(folder, "pair.txt");
        CliFixture second(gain8At1000());
        const CliRun paired = second.run({"--json", "collect", "-n", "300", "-o", textPath});
        QCOMPARE(paired.code, 0);
        const auto raw = rawCodes(contentOf(pathIn(folder, "pair.bin")));
        QVERIFY(raw);
        QCOMPARE(*raw, reading.capture->codes);
        QCOMPARE(contentOf(textPath).toStdString(), textFile(*raw));
        QCOMPARE(codesOf(paired.json()["codes"].toArray()), *raw);
        QCOMPARE(paired.json()["file"].toString().toStdString(), textPath);
        QCOMPARE(paired.json()["raw_file"].toString().toStdString(), pathIn(folder, "pair.bin"));
        QCOMPARE(paired.json()["count"].toInt(), 300);
        QCOMPARE(paired.json()["created"].toString(), QStringLiteral("2026-12-11T12:00:00Z"));
    }

    // Without -o the capture goes to standard output: 45 results unless
    // told otherwise.
    void collectToStandardOutput() {
        CliFixture cli;
        const CliRun run = cli.run({"collect"});
        QCOMPARE(run.code, 0);
        QVERIFY(run.err.empty());
        const CaptureReading reading = readCapture(run.out);
        QVERIFY2(reading.capture, reading.error.c_str());
        QCOMPARE(reading.capture->codes.size(), std::size_t(45));
        QCOMPARE(run.out, captureText(*reading.capture));

        const QJsonObject json = cli.run({"--json", "collect", "-n", "7"}).json();
        QCOMPARE(json["codes"].toArray().size(), 7);
        QVERIFY(json["file"].isNull() && json["raw_file"].isNull());
        QCOMPARE(json["registers"]["DRATE"].toString(), QStringLiteral("F0"));
    }

    // What cannot be written is told with the file's name and cause, then
    // the panel's own message for the raw and the text file.
    void collectIntoUnwritablePlaces_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("capture in a missing folder") << "gone/run.csv"
                                                     << "Cannot create the file";
        QTest::newRow("pair in a missing folder") << "gone/run.txt"
                                                  << "Save ADC Raw Data Failed !";
        QTest::newRow("text file is a folder") << "folder.txt"
                                               << "Save ADC Data Failed !";
    }
    void collectIntoUnwritablePlaces() {
        QFETCH(QString, name);
        QFETCH(QString, message);
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir("folder.txt"));
        CliFixture cli;
        const CliRun run = cli.run({"collect", "-o", pathIn(folder, qPrintable(name))});
        QCOMPARE(run.code, 4);
        QVERIFY2(run.errSays(message.toStdString()), run.err.c_str());
        QVERIFY(run.out.empty());
    }

    // Ctrl-C stops the collection after the current item; nothing is
    // written anywhere.
    void stopWritesNothing_data() {
        QTest::addColumn<Args>("args");
        QTest::newRow("capture") << Args{"collect", "-n", "1000", "-o", "run.csv"};
        QTest::newRow("text pair") << Args{"collect", "-n", "1000", "-o", "run.txt"};
        QTest::newRow("standard output") << Args{"collect", "-n", "1000"};
        QTest::newRow("json") << Args{"--json", "collect", "-n", "1000"};
        QTest::newRow("fresh analysis") << Args{"analyze", "-n", "1000"};
    }
    void stopWritesNothing() {
        QFETCH(Args, args);
        QTemporaryDir folder;
        for (std::string& arg : args) {
            if (arg.starts_with("run.")) {
                arg = pathIn(folder, arg.c_str());
            }
        }
        CliFixture cli;
        int items = 0;
        cli.stopRequested = [&items] { return ++items > 10; };
        const CliRun run = cli.run(args);
        QCOMPARE(run.code, 130);
        QCOMPARE(items, 11);
        QVERIFY(QDir(folder.path()).isEmpty());
        QVERIFY2(run.errSays("orvellin-cli: stopped; nothing was written"), run.err.c_str());
        if (args[0] == "--json") {
            QCOMPARE(run.json()["error"]["exit_code"].toInt(), 130);
        } else {
            QVERIFY(run.out.empty());
        }
    }

    void itemFailures_data() {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("message");
        QTest::newRow("bad check byte")
            << int(sim::FaultKind::BadChecksum) << "The checksum of item 3 is invalid !\n";
        QTest::newRow("silent after 5")
            << int(sim::FaultKind::SilentAfter) << "Get item 5 failed !\n";
        QTest::newRow("hang-up after 5")
            << int(sim::FaultKind::HangUpAfter) << "Get item 5 failed !\n";
    }
    void itemFailures() {
        QFETCH(int, fault);
        QFETCH(QString, message);
        sim::EvmConfig config;
        config.fault = {
            .kind = sim::FaultKind(fault), .command = Command::ReadData, .items = {3}, .count = 5};
        CliFixture cli(config);
        QTemporaryDir folder;
        const CliRun run = cli.run({"collect", "-n", "20", "-o", pathIn(folder, "run.txt")});
        QCOMPARE(run.code, 1);
        QCOMPARE(run.err, message.toStdString());
        QVERIFY(QDir(folder.path()).isEmpty());
    }

    // On a terminal the bar takes one line, redrawn in place and blanked at
    // the end and before every message; elsewhere there is none.
    void progressBarOnlyOnTerminal() {
        CliFixture quiet;
        QVERIFY(quiet.run({"collect", "-n", "200"}).err.empty());

        CliFixture terminal;
        terminal.errIsTerminal = true;
        const CliRun run = terminal.run({"collect", "-n", "200"});
        QCOMPARE(run.code, 0);
        QVERIFY2(run.err.starts_with("\rCollecting [") && run.errSays("] 100 %"), run.err.c_str());
        QVERIFY(blankedAfterBar(run.err, ""));

        sim::EvmConfig config;
        config.fault = {.kind = sim::FaultKind::BadChecksum, .items = {3}};
        CliFixture failing(config);
        failing.errIsTerminal = true;
        const CliRun failed = failing.run({"collect", "-n", "200"});
        QCOMPARE(failed.code, 1);
        QVERIFY2(blankedAfterBar(failed.err, "The checksum of item 3 is invalid !\n"),
                 failed.err.c_str());
    }

    // Known answers: a constant block, a square of known RMS under the
    // flags' settings, and a sine rounded to codes.
    void analyzeConstantBlock() {
        QTemporaryDir folder;
        const std::string path = pathIn(folder, "constant.txt");
        writeFile(path, textFile(Codes(64, 1000)));
        CliFixture cli;
        const CliRun run = cli.run({"--json", "analyze", path});
        QCOMPARE(run.code, 0);
        const QJsonObject json = run.json();
        QCOMPARE(sorted(json.keys()), sorted(kFigureKeys));
        QCOMPARE(json["count"].toInt(), 64);
        QCOMPARE(json["gain"].toInt(), 1);
        QVERIFY(json["vref_v"].toDouble() == 2.5);
        QVERIFY(json["rate_sps"].toDouble() == 30000.0);
        QVERIFY(json["mean_code"].toDouble() == 1000.0);
        QVERIFY(json["mean_v"].toDouble() == 5000.0 / 8388608.0);  // exact in binary
        QCOMPARE(json["min_code"].toInt(), 1000);
        QCOMPARE(json["max_code"].toInt(), 1000);
        for (const char* zero :
             {"rms_noise_codes", "rms_noise_uv", "pp_noise_codes", "pp_noise_uv"}) {
            QVERIFY2(json[zero].isDouble() && json[zero].toDouble() == 0.0, zero);
        }
        QVERIFY(json["effective_resolution_bits"].toDouble() == 24.0);
        QVERIFY(json["noise_free_resolution_bits"].toDouble() == 24.0);
        for (const QString& key : kToneKeys) {
            QVERIFY2(json[key].isNull(), qPrintable(key));
        }
        QVERIFY(cli.touchedNothing());
    }

    // ±100 codes: RMS 100, peak-to-peak 200, at 2 × 1.25 V / (8 × 2^23) =
    // 37.25 nV a code. Fewer than 64 points: no tone figures.
    void analyzeTextFileTakesTheFlags() {
        QTemporaryDir folder;
        const std::string path = pathIn(folder, "square.txt");
        Codes square;
        for (int k = 0; k < 32; ++k) {
            square.push_back(k % 2 == 0 ? 100 : -100);
        }
        writeFile(path, textFile(square));
        CliFixture cli;
        const CliRun run =
            cli.run({"analyze", path, "--gain", "8", "--vref", "1.25", "--rate=1000", "--json"});
        QCOMPARE(run.code, 0);
        const QJsonObject json = run.json();
        QCOMPARE(json["gain"].toInt(), 8);
        QVERIFY(json["vref_v"].toDouble() == 1.25);
        QVERIFY(json["rate_sps"].toDouble() == 1000.0);
        QVERIFY(json["mean_code"].toDouble() == 0.0);
        QVERIFY(json["rms_noise_codes"].toDouble() == 100.0);
        QVERIFY(json["pp_noise_codes"].toDouble() == 200.0);
        QCOMPARE(json["rms_noise_uv"].toDouble(), 3.725290298461914);
        QCOMPARE(json["pp_noise_uv"].toDouble(), 7.450580596923828);
        QCOMPARE(json["effective_resolution_bits"].toDouble(), 24.0 - std::log2(100.0));
        QCOMPARE(json["noise_free_resolution_bits"].toDouble(), 24.0 - std::log2(200.0));
        QVERIFY(json["snr_db"].isNull());
    }

    // A sine of half full scale, 64 cycles in 4096 points, with its 2nd
    // harmonic at -60 dBc, rounded to codes: the fundamental at -6.02 dBFS
    // and 64 / 4096 of the rate; THD -60 dBc, SINAD and SFDR 60 dB, ENOB
    // (60 - 1.76) / 6.02 = 9.67 bits; and the noise of rounding alone (1/12
    // code²), an SNR of 10 log10(6 A²) = 140.2 dB for A = 2^22.
    void analyzeSine() {
        QTemporaryDir folder;
        const std::string path = pathIn(folder, "sine.txt");
        Codes sine;
        for (int n = 0; n < 4096; ++n) {
            const double phase = 2 * std::numbers::pi * 64 * n / 4096;
            sine.push_back(std::int32_t(
                std::lround(4194304.0 * (std::sin(phase) + 1e-3 * std::sin(2 * phase)))));
        }
        writeFile(path, textFile(sine));
        CliFixture cli;
        const CliRun run = cli.run({"--json", "analyze", path, "--rate", "4096"});
        QCOMPARE(run.code, 0);
        const QJsonObject json = run.json();
        const auto near = [&json](const char* key, double expected, double tolerance) {
            const double value = json[key].toDouble();
            if (!json[key].isDouble() || std::abs(value - expected) > tolerance) {
                qWarning("%s: %.6f, not %.6f", key, value, expected);
                return false;
            }
            return true;
        };
        QVERIFY(json["fundamental_hz"].toDouble() == 64.0);
        QVERIFY(near("fundamental_dbfs", 20 * std::log10(0.5), 0.01));
        QVERIFY(near("snr_db", 140.2, 2.0));
        QVERIFY(near("thd_db", -60.0, 0.01));
        QVERIFY(near("sinad_db", 60.0, 0.01));
        QVERIFY(near("sfdr_db", 60.0, 0.01));
        QVERIFY(near("enob_bits", (60.0 - 1.76) / 6.02, 0.01));

        const CliRun table = cli.run({"analyze", path, "--rate", "4096"});
        QVERIFY2(table.out.find("\nFundamental: 64.000 Hz, -6.02 dBFS\n") != std::string::npos,
                 table.out.c_str());
        QVERIFY(table.out.find("\nTHD: -60.00 dBc\n") != std::string::npos);
        QVERIFY(table.out.find("\nData rate: 4096 SPS\n") != std::string::npos);
    }

    // A capture's own settings win over the flags; a rate it lacks comes
    // from the flag, else 30000.
    void analyzeCaptureKeepsItsSettings_data() {
        QTest::addColumn<bool>("hasRate");
        QTest::addColumn<Args>("flags");
        QTest::addColumn<double>("rate");
        QTest::newRow("own settings")
            << true << Args{"--gain", "2", "--vref", "3", "--rate", "50"} << 1000.0;
        QTest::newRow("flag for the rate") << false << Args{"--rate", "50", "--gain", "2"} << 50.0;
        QTest::newRow("default rate") << false << Args{} << 30000.0;
    }
    void analyzeCaptureKeepsItsSettings() {
        QFETCH(bool, hasRate);
        QFETCH(Args, flags);
        QFETCH(double, rate);
        Capture capture;
        capture.info.scale = {.gain = 16, .rateHz = std::nullopt, .vref = 1.25};
        if (hasRate) {
            capture.info.scale.rateHz = 1000.0;
        }
        capture.codes = Codes(100, -5);
        QTemporaryDir folder;
        const std::string path = pathIn(folder, "block.csv");
        writeFile(path, captureText(capture));
        Args args{"--json", "analyze", path};
        args.insert(args.end(), flags.begin(), flags.end());
        CliFixture cli;
        const QJsonObject json = cli.run(args).json();
        QCOMPARE(json["gain"].toInt(), 16);
        QVERIFY(json["vref_v"].toDouble() == 1.25);
        QVERIFY(json["rate_sps"].toDouble() == rate);
        QVERIFY(json["mean_code"].toDouble() == -5.0);
    }

    // A fresh collection is measured as its capture would be: gain and
    // rate from the registers read before it, Vref from the flag; the same
    // block collected to a file and analysed gives the same figures.
    void analyzeFreshCollection() {
        sim::EvmConfig config = gain8At1000();
        CliFixture fresh(config);
        const CliRun run = fresh.run({"--json", "analyze", "-n", "1000", "--gain", "2"});
        QCOMPARE(run.code, 0);
        QCOMPARE(run.json()["gain"].toInt(), 8);
        QVERIFY(run.json()["rate_sps"].toDouble() == 1000.0);
        QCOMPARE(run.json()["count"].toInt(), 1000);
        QVERIFY(!run.json()["snr_db"].isNull());  // the 50 Hz tone
        QVERIFY(std::abs(run.json()["fundamental_hz"].toDouble() - 50.0) < 1.0);

        QTemporaryDir folder;
        const std::string path = pathIn(folder, "run.csv");
        CliFixture collector(config);
        QCOMPARE(collector.run({"collect", "-n", "1000", "-o", path}).code, 0);
        QCOMPARE(fresh.run({"--json", "analyze", path}).json(), run.json());
    }

    // Every double is printed so that it reads back as the same double.
    void numbersReadBackExactly() {
        QTemporaryDir folder;
        const std::string path = pathIn(folder, "three.txt");
        writeFile(path, textFile(Codes(10, 3)));
        CliFixture cli;
        const CliRun run = cli.run({"--json", "analyze", path, "--vref", "0.1"});
        QVERIFY(run.out.find("\"vref_v\": 0.1,") != std::string::npos);
        QVERIFY(run.json()["vref_v"].toDouble() == 0.1);
        QVERIFY(run.json()["mean_v"].toDouble() == 3.0 * (2.0 * 0.1 / 8388608.0));
    }

    void analyzeRefusesUnreadableFiles_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << "missing.txt" << QByteArray() << "Cannot read the file";
        QTest::newRow("not numbers") << "words.txt" << QByteArray("hello\r\n") << "cannot read '";
        QTest::newRow("bad capture")
            << "bad.csv" << QByteArray("# Orvellin capture 9\n") << "cannot read '";
    }
    void analyzeRefusesUnreadableFiles() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QTemporaryDir folder;
        const std::string path = pathIn(folder, qPrintable(name));
        if (!content.isEmpty()) {
            writeFile(path, content.toStdString());
        }
        CliFixture cli;
        const CliRun run = cli.run({"--json", "analyze", path});
        QCOMPARE(run.code, 4);
        QVERIFY2(run.errSays(message.toStdString()), run.err.c_str());
        QCOMPARE(run.json()["error"]["exit_code"].toInt(), 4);
        QVERIFY(cli.touchedNothing());
    }
};

}  // namespace

ORV_REGISTER_TEST(BlockCommandTest);
#include "test_block.moc"
