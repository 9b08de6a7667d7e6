// SPDX-License-Identifier: GPL-3.0-or-later
// Measures one collection of a block of results through the real serial
// port, against orvellin-evm-sim on a pseudo-terminal:
//
//   orvellin-bench-acquisition --sim PATH --reader PATH [--python PATH] [--cli PATH]
//                              [--count N]
//
// 1. With the simulator pacing every byte at 115200 baud: the wall time of
//    one collection through the main window and the device panel, against
//    the time the wire itself needs, and this process's CPU time meanwhile.
// 2. Against the same simulator, the reader script (a plain pyserial loop
//    reading one item per call) collecting the same block; its CPU time
//    beside the tool's.
//    With --cli, `orvellin-cli collect` writing the same block to a capture
//    against the same simulator: its wall time against the wire time of
//    every byte it exchanges, and its CPU time beside the other two.
// 3. With a fresh simulator that answers as fast as the terminal takes the
//    bytes: results per second.
//
// Exits 1 when a collection failed (a missed goal is only reported), 2 on a
// bad command line. The simulators are ended on every way out.
#include <QApplication>
#include <QProcess>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "app/main_window.h"
#include "controls/tc_edit.h"
#include "device/panel.h"
#include "link/link.h"
#include "link/qt_serial_device.h"
#include "seams/clock.h"
#include "seams/prompts.h"
#include "simulator.h"

namespace {

constexpr int kMaxCount = 65535;
constexpr int kItemBytes = 4;
constexpr double kBitsPerByte = 10.0;  // start bit, 8 data bits, stop bit
constexpr double kBaud = 115200.0;
constexpr double kGoalWallOverFloor = 1.001;
constexpr double kGoalCorePercent = 5.0;
constexpr double kGoalItemsPerSecond = 100000.0;
using orv::bench::Simulator;

constexpr const char* kUsage =
    "Usage: orvellin-bench-acquisition --sim PATH --reader PATH [--python PATH] [--cli PATH]\n"
    "                                  [--count N]\n"
    "  --sim PATH     the orvellin-evm-sim executable\n"
    "  --reader PATH  the pyserial reference loop (bench/read_loop.py)\n"
    "  --python PATH  the interpreter that runs it (default python3)\n"
    "  --cli PATH     the orvellin-cli executable, measured too when given\n"
    "  --count N      results per collection, 1 to 65535 (default 65535)\n";

struct Options {
    QString simulator;
    QString reader;
    QString python = QStringLiteral("python3");
    QString cli;
    int count = kMaxCount;
    bool help = false;
};

// Empty, with the reason on stderr, for a bad command line. A help request
// ends the parsing at once.
std::optional<Options> parseOptions(const QStringList& arguments) {
    Options options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& name = arguments[i];
        if (name == QLatin1String("-h") || name == QLatin1String("--help")) {
            options.help = true;
            return options;
        }
        if (i + 1 >= arguments.size()) {
            std::fprintf(stderr, "%s needs a value\n%s", qPrintable(name), kUsage);
            return std::nullopt;
        }
        const QString& value = arguments[++i];
        if (name == QLatin1String("--sim")) {
            options.simulator = value;
        } else if (name == QLatin1String("--reader")) {
            options.reader = value;
        } else if (name == QLatin1String("--python")) {
            options.python = value;
        } else if (name == QLatin1String("--cli")) {
            options.cli = value;
        } else if (name == QLatin1String("--count")) {
            bool ok = false;
            options.count = value.toInt(&ok);
            if (!ok || options.count < 1 || options.count > kMaxCount) {
                std::fprintf(stderr, "--count takes 1 to %d\n", kMaxCount);
                return std::nullopt;
            }
        } else {
            std::fprintf(stderr, "unknown option %s\n%s", qPrintable(name), kUsage);
            return std::nullopt;
        }
    }
    if (options.simulator.isEmpty() || options.reader.isEmpty()) {
        std::fputs(kUsage, stderr);
        return std::nullopt;
    }
    return options;
}

// User and system CPU time, from getrusage: RUSAGE_SELF for every thread
// of this process (the simulator and the reader, children, count for
// nothing there), RUSAGE_CHILDREN for the children waited for so far.
double cpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) * 1e-6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double processCpuSeconds() {
    return cpuSeconds(RUSAGE_SELF);
}

double childrenCpuSeconds() {
    return cpuSeconds(RUSAGE_CHILDREN);
}

double wireFloorSeconds(int count) {
    return count * kItemBytes * kBitsPerByte / kBaud;
}

// What an `orvellin-cli collect` exchanges besides the items: the handshake
// and the eleven register reads (a six-byte frame and a three-byte reply
// each), then the six-byte data command.
constexpr int kCliExtraBytes = 12 * (6 + 3) + 6;

double cliWireFloorSeconds(int count) {
    return wireFloorSeconds(count) + kCliExtraBytes * kBitsPerByte / kBaud;
}

const char* yesNo(bool value) {
    return value ? "yes" : "no";
}

// Records every message instead of showing it: in a collection that works,
// none is shown, so any of them is the reason it failed.
class RecordingPrompts final : public orv::Prompts {
public:
    void message(orv::PromptOwner, const std::string& text, const std::string& caption,
                 orv::MessageIcon) override {
        messages.push_back(caption + ": " + text);
    }
    std::optional<std::uint32_t> chooseColour(orv::PromptOwner, std::uint32_t) override {
        return std::nullopt;
    }
    std::optional<std::string> chooseFile(orv::PromptOwner, const orv::FileRequest&) override {
        return std::nullopt;
    }

    void printTo(std::FILE* stream) const {
        for (const auto& message : messages) {
            std::fprintf(stream, "  message shown: %s\n", message.c_str());
        }
    }

    std::vector<std::string> messages;
};

struct Measurement {
    double wallSeconds = 0;
    double cpuSeconds = 0;
};

// One collection of `count` results the way a user runs it: the main window
// shown, "Detect EVM" on the one port, the data count set, then "Start get
// ADC data", through the real serial port. Only the collection is timed.
// The window and the link go on return, which closes the port. Empty, with
// the reason on stderr, when it failed.
std::optional<Measurement> collectWithTool(const std::string& port, int count) {
    orv::SystemClock clock;
    orv::Link link(
        {port}, [] { return std::make_unique<orv::QtSerialDevice>(); }, clock);
    RecordingPrompts prompts;
    orv::COrvellinDlg window(link, prompts);
    window.show();
    window.findChild<QPushButton*>(QStringLiteral("detectEvmButton"))->click();
    auto* panel = window.findChild<orv::ZN410Dlg*>(QStringLiteral("devicePanel"));
    if (panel == nullptr || !prompts.messages.empty()) {
        std::fprintf(stderr, "Detect EVM on %s did not open the device panel\n", port.c_str());
        prompts.printTo(stderr);
        return std::nullopt;
    }
    panel->findChild<orv::CTCEdit*>(QStringLiteral("dataCount"))->setText(QString::number(count));
    // The window is laid out and painted before the user can press Start;
    // that work is not the collection's.
    QCoreApplication::processEvents();

    const double cpuBefore = processCpuSeconds();
    const auto wallBefore = std::chrono::steady_clock::now();
    panel->StartAcquisition();
    const auto wallAfter = std::chrono::steady_clock::now();
    const double cpuAfter = processCpuSeconds();

    const auto collected = window.panelData().samples.size();
    if (collected != static_cast<std::size_t>(count) || !prompts.messages.empty()) {
        std::fprintf(stderr, "the collection failed: %zu of %d results\n", collected, count);
        prompts.printTo(stderr);
        return std::nullopt;
    }
    return Measurement{std::chrono::duration<double>(wallAfter - wallBefore).count(),
                       cpuAfter - cpuBefore};
}

// Runs `program` to its end, bounded by twice the wire time of `count`
// results and a margin for its start.
bool runToEnd(QProcess& process, const QString& program, const QStringList& arguments, int count) {
    const int boundMs = static_cast<int>(2000 * wireFloorSeconds(count)) + 10000;
    return orv::bench::runToEnd(process, program, arguments, boundMs);
}

// The reader script's collection of `count` results on `port`, as its own
// last line reports it: "cpu_seconds=C wall_seconds=W". Empty, with the
// reason on stderr, when it failed.
std::optional<Measurement> collectWithLoop(const Options& options, const std::string& port) {
    QProcess reader;
    if (!runToEnd(reader, options.python,
                  {options.reader, QString::fromStdString(port), QString::number(options.count)},
                  options.count)) {
        return std::nullopt;
    }
    const QString output = QString::fromLocal8Bit(reader.readAllStandardOutput()).trimmed();
    const QString last = output.mid(output.lastIndexOf('\n') + 1);
    std::optional<double> cpu;
    std::optional<double> wall;
    for (const QString& field : last.simplified().split(' ')) {
        const QStringList pair = field.split('=');
        bool ok = false;
        const double value = pair.size() == 2 ? pair[1].toDouble(&ok) : 0.0;
        if (ok && pair[0] == QLatin1String("cpu_seconds")) {
            cpu = value;
        } else if (ok && pair[0] == QLatin1String("wall_seconds")) {
            wall = value;
        }
    }
    if (!cpu || !wall) {
        std::fprintf(stderr, "%s printed no \"cpu_seconds=C wall_seconds=W\" line\n",
                     qPrintable(options.reader));
        return std::nullopt;
    }
    return Measurement{*wall, *cpu};
}

// `orvellin-cli --port PORT collect -n COUNT -o FILE.csv` from its start to
// its end, as a script runs it: finding the EVM, reading the registers,
// collecting and writing the capture. Its CPU time is that of the one child
// waited for meanwhile (the simulator is waited for only at its end). Empty,
// with the reason on stderr, when it failed.
std::optional<Measurement> collectWithCli(const Options& options, const std::string& port,
                                          int count) {
    const QTemporaryDir folder;
    const QString capture = folder.filePath(QStringLiteral("bench.csv"));
    QProcess cli;
    const double cpuBefore = childrenCpuSeconds();
    const auto wallBefore = std::chrono::steady_clock::now();
    if (!runToEnd(
            cli, options.cli,
            {QStringLiteral("--port"), QString::fromStdString(port), QStringLiteral("collect"),
             QStringLiteral("-n"), QString::number(count), QStringLiteral("-o"), capture},
            count)) {
        return std::nullopt;
    }
    const auto wallAfter = std::chrono::steady_clock::now();
    const double cpuAfter = childrenCpuSeconds();
    return Measurement{std::chrono::duration<double>(wallAfter - wallBefore).count(),
                       cpuAfter - cpuBefore};
}

double corePercent(const Measurement& measurement) {
    return measurement.wallSeconds > 0 ? 100.0 * measurement.cpuSeconds / measurement.wallSeconds
                                       : 0.0;
}

// The report's lines: a label column, then the figure.
void line(const char* label, const char* format, auto... values) {
    std::printf("  %-34s", label);
    std::printf(format, values...);
    std::printf("\n");
    std::fflush(stdout);
}

bool pacedRuns(const Options& options) {
    std::printf("Paced simulator (every byte at the wire rate)\n");
    std::fflush(stdout);
    const Simulator simulator(options.simulator, {QStringLiteral("--paced")});
    if (simulator.path().empty()) {
        return false;
    }
    const auto tool = collectWithTool(simulator.path(), options.count);
    if (!tool) {
        return false;
    }
    const double floor = wireFloorSeconds(options.count);
    const double ratio = tool->wallSeconds / floor;
    line("wall time", "%10.3f s", tool->wallSeconds);
    line("wire floor", "%10.3f s", floor);
    line("wall / floor", "%10.4f     goal <= %.3f: %s", ratio, kGoalWallOverFloor,
         yesNo(ratio <= kGoalWallOverFloor));
    line("tool CPU", "%10.3f s   %5.2f %% of one core", tool->cpuSeconds, corePercent(*tool));

    const auto loop = collectWithLoop(options, simulator.path());
    if (!loop) {
        return false;
    }
    line("read loop CPU", "%10.3f s   %5.2f %% of one core", loop->cpuSeconds, corePercent(*loop));
    line("read loop wall time", "%10.3f s", loop->wallSeconds);
    line("tool uses less CPU than the loop:", "%10s", yesNo(tool->cpuSeconds < loop->cpuSeconds));
    line("under 5 % of one core:", "%10s", yesNo(corePercent(*tool) < kGoalCorePercent));
    if (options.cli.isEmpty()) {
        return true;
    }

    // What every run costs whatever its count: starting, listing the ports,
    // the handshake and the register reads, writing the file. The least of
    // three one-result runs, made first, so that the measured run finds the
    // program and its libraries as warm as they are.
    std::optional<double> fixedSeconds;
    for (int run = 0; run < 3; ++run) {
        const auto one = collectWithCli(options, simulator.path(), 1);
        if (!one) {
            return false;
        }
        fixedSeconds = std::min(fixedSeconds.value_or(one->wallSeconds), one->wallSeconds);
    }
    const auto cli = collectWithCli(options, simulator.path(), options.count);
    if (!cli) {
        return false;
    }
    const double cliFloor = cliWireFloorSeconds(options.count);
    const double cliRatio = cli->wallSeconds / cliFloor;
    line("orvellin-cli collect, whole run", "%10.3f s", cli->wallSeconds);
    line("its wire floor (all its bytes)", "%10.3f s", cliFloor);
    line("wall / floor", "%10.4f     goal <= %.3f: %s", cliRatio, kGoalWallOverFloor,
         yesNo(cliRatio <= kGoalWallOverFloor));
    line("a one-result run", "%10.3f s", *fixedSeconds);
    if (options.count > 1) {
        // The results' own share: what the run takes beyond a one-result
        // run, against what the wire needs for the results beyond one.
        const double perResults = (cli->wallSeconds - *fixedSeconds) /
                                  (cliWireFloorSeconds(options.count) - cliWireFloorSeconds(1));
        line("results beyond the first / floor", "%10.4f     goal <= %.3f: %s", perResults,
             kGoalWallOverFloor, yesNo(perResults <= kGoalWallOverFloor));
    }
    line("orvellin-cli CPU", "%10.3f s   %5.2f %% of one core", cli->cpuSeconds, corePercent(*cli));
    line("less CPU than the window and the loop:", "%10s",
         yesNo(cli->cpuSeconds < tool->cpuSeconds && cli->cpuSeconds < loop->cpuSeconds));
    return true;
}

bool unpacedRun(const Options& options) {
    std::printf("Unpaced simulator (answers as fast as the terminal takes them)\n");
    std::fflush(stdout);
    const Simulator simulator(options.simulator, {});
    if (simulator.path().empty()) {
        return false;
    }
    const auto tool = collectWithTool(simulator.path(), options.count);
    if (!tool) {
        return false;
    }
    const double rate = options.count / tool->wallSeconds;
    line("wall time", "%10.3f s", tool->wallSeconds);
    line("results per second", "%10.0f       goal >= %.0f: %s", rate, kGoalItemsPerSecond,
         yesNo(rate >= kGoalItemsPerSecond));
    line("tool CPU", "%10.3f s   %5.2f %% of one core", tool->cpuSeconds, corePercent(*tool));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const auto options = parseOptions(QCoreApplication::arguments());
    if (!options) {
        return 2;
    }
    if (options->help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    std::printf("One collection of %d results of %d bytes at 115200 baud 8N1, real serial port\n\n",
                options->count, kItemBytes);
    if (!pacedRuns(*options)) {
        return 1;
    }
    std::printf("\n");
    return unpacedRun(*options) ? 0 : 1;
}
