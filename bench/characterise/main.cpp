// SPDX-License-Identifier: GPL-3.0-or-later
// Measures the characterisation runs:
//
//   orvellin-bench-characterise --sim PATH --cli PATH [--gain LIST] [--rate LIST]
//                               [-n N] [--blocks K]
//
// 1. Sweep: `orvellin-cli sweep` over the given gains and rates against
//    orvellin-evm-sim pacing its bytes at 115200 baud and its results at the
//    data rate, on a pseudo-terminal, timed from the program's start to its
//    end, against the floor the program announces (the sum of its cells'
//    floors: the conversions or the wire, whichever is longer, and the
//    calibration's 200 ms).
// 2. Soak: a long run in-process on the in-memory simulator, paced in
//    virtual time at 2.5 SPS, K blocks of 16 results into a trend file: the
//    heap in use (less the simulator's frame log) and the resident memory
//    after block 100, 1000 ... K.
//
// Exits 1 when a run failed (a missed goal is only reported), 2 on a bad
// command line.
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <unistd.h>

#include "characterise/long_run.h"
#include "characterise/noise_table.h"
#include "link/detect.h"
#include "link/link.h"
#include "seams/clock.h"
#include "seams/prompts.h"
#include "sim/sim_bus.h"
#include "simulator.h"

namespace {

using namespace orv;
using namespace orv::characterise;

constexpr double kGoalSweepOverFloor = 1.05;
constexpr int kSoakCount = 16;
constexpr std::size_t kDefaultSoakBlocks = 10000;
constexpr double kGoalHeapGrowthKib = 4.0;

constexpr const char* kUsage =
    "Usage: orvellin-bench-characterise --sim PATH --cli PATH [--gain LIST] [--rate LIST]\n"
    "                                   [-n N] [--blocks K]\n"
    "  --sim PATH    the orvellin-evm-sim executable\n"
    "  --cli PATH    the orvellin-cli executable\n"
    "  --gain LIST   the sweep's gains (default 1,8,64)\n"
    "  --rate LIST   the sweep's data rates in SPS (default 60,1000,30000)\n"
    "  -n N          results per cell (default 256)\n"
    "  --blocks K    blocks of the soak, at least 1000 (default 10000)\n";

struct Options {
    QString sim;
    QString cli;
    QString gains = QStringLiteral("1,8,64");
    QString rates = QStringLiteral("60,1000,30000");
    int count = kDefaultSweepCount;
    std::size_t blocks = kDefaultSoakBlocks;
};

std::optional<SweepPlan> planOf(const Options& options) {
    SweepPlan plan;
    bool ok = true;
    for (const QString& gain : options.gains.split(',')) {
        plan.gains.push_back(gain.toInt(&ok));
        if (!ok) {
            return std::nullopt;
        }
    }
    for (const QString& rate : options.rates.split(',')) {
        plan.rates.push_back(rate.toDouble(&ok));
        if (!ok) {
            return std::nullopt;
        }
    }
    plan.count = options.count;
    if (planError(plan)) {
        return std::nullopt;
    }
    return plan;
}

std::optional<Options> parseOptions(const QStringList& arguments) {
    Options options;
    for (int k = 1; k < arguments.size(); ++k) {
        const QString& name = arguments[k];
        if (k + 1 >= arguments.size()) {
            return std::nullopt;
        }
        const QString& value = arguments[++k];
        bool ok = true;
        if (name == "--sim") {
            options.sim = value;
        } else if (name == "--cli") {
            options.cli = value;
        } else if (name == "--gain") {
            options.gains = value;
        } else if (name == "--rate") {
            options.rates = value;
        } else if (name == "-n") {
            options.count = value.toInt(&ok);
        } else if (name == "--blocks") {
            options.blocks = value.toULongLong(&ok);
            ok = ok && options.blocks >= 1000;
        } else {
            return std::nullopt;
        }
        if (!ok) {
            return std::nullopt;
        }
    }
    if (options.sim.isEmpty() || options.cli.isEmpty() || !planOf(options)) {
        return std::nullopt;
    }
    return options;
}

void line(const char* label, const char* format, auto... values) {
    std::printf("  %-40s ", label);
    std::printf(format, values...);
    std::printf("\n");
}

const char* yesNo(bool value) {
    return value ? "yes" : "NO";
}

bool sweepRun(const Options& options) {
    const SweepPlan plan = *planOf(options);
    const double floor = sweepFloorSeconds(plan);
    std::printf("Sweep, paced simulator, %zu cells of %d results (gains %s; rates %s SPS)\n",
                plan.gains.size() * plan.rates.size(), plan.count, qPrintable(options.gains),
                qPrintable(options.rates));
    const bench::Simulator simulator(
        options.sim, {QStringLiteral("--paced"), QStringLiteral("--tone"), QStringLiteral("0")});
    if (simulator.path().empty()) {
        return false;
    }
    QTemporaryDir folder;
    const QString table = folder.filePath(QStringLiteral("table.csv"));
    QProcess cli;
    const auto started = std::chrono::steady_clock::now();
    if (!bench::runToEnd(cli, options.cli,
                         {QStringLiteral("--port"), QString::fromStdString(simulator.path()),
                          QStringLiteral("sweep"), QStringLiteral("--gain"), options.gains,
                          QStringLiteral("--rate"), options.rates, QStringLiteral("-n"),
                          QString::number(plan.count), QStringLiteral("-o"), table},
                         static_cast<int>(2000 * floor) + 10000)) {
        return false;
    }
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    QFile written(table);
    const long rows = written.open(QIODevice::ReadOnly) ? written.readAll().count('\n') - 1 : -1;
    if (rows != static_cast<long>(plan.gains.size() * plan.rates.size())) {
        std::fprintf(stderr, "the table has %ld rows\n", rows);
        return false;
    }
    line("floor (sum of the cells' floors)", "%.3f s", floor);
    line("orvellin-cli sweep, start to end", "%.3f s", wall);
    line("ratio", "%.4f (goal <= %.2f: %s)", wall / floor, kGoalSweepOverFloor,
         yesNo(wall / floor <= kGoalSweepOverFloor));
    return true;
}

// Memory in use now: the heap's allocated bytes (glibc) and the resident
// set.
struct Memory {
    double heapKib = -1.0;
    double residentKib = -1.0;
};

Memory memoryNow() {
    Memory memory;
#ifdef __GLIBC__
    memory.heapKib = static_cast<double>(mallinfo2().uordblks) / 1024.0;
#endif
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        long size = 0;
        long resident = 0;
        if (std::fscanf(statm, "%ld %ld", &size, &resident) == 2) {
            memory.residentKib = static_cast<double>(resident) * sysconf(_SC_PAGESIZE) / 1024.0;
        }
        std::fclose(statm);
    }
    return memory;
}

class QuietPrompts final : public Prompts {
public:
    void message(PromptOwner, const std::string& text, const std::string&, MessageIcon) override {
        std::fprintf(stderr, "  message shown: %s\n", text.c_str());
        shown = true;
    }
    std::optional<std::uint32_t> chooseColour(PromptOwner, std::uint32_t) override { return {}; }
    std::optional<std::string> chooseFile(PromptOwner, const FileRequest&) override { return {}; }
    bool shown = false;
};

// The heap is sampled less the simulated EVM's own frame log, which keeps
// every frame it was sent (the tests read it) and so grows by one data
// command a block: a board would hold nothing of it in this process.
class SamplingView final : public LongRunView {
public:
    SamplingView(std::size_t blocks, const sim::EvmModel& evm) : blocks_(blocks), evm_(evm) {}
    void blockStarted(std::size_t) override {}
    void showProgress(int) override {}
    bool keepGoing() override { return true; }
    void blockDone(std::size_t number, const TrendRow&) override {
        if (number == 100 || number == 1000 || number % 5000 == 0 || number == blocks_) {
            Memory memory = memoryNow();
            memory.heapKib -=
                static_cast<double>(evm_.frames().capacity() * sizeof(Frame)) / 1024.0;
            samples.emplace_back(number, memory);
        }
    }
    std::vector<std::pair<std::size_t, Memory>> samples;

private:
    std::size_t blocks_;
    const sim::EvmModel& evm_;
};

bool soakRun(const Options& options) {
    std::printf(
        "Soak, in-memory paced simulator in virtual time, %zu blocks of %d results at "
        "2.5 SPS\n",
        options.blocks, kSoakCount);
    ManualClock clock;
    clock.setUtcTime({2026, 12, 11, 12, 0, 0});
    sim::SimBus bus(clock);
    sim::EvmConfig config;
    config.toneHz = 0.0;
    config.powerOn[0x03] = 0x03;  // DRATE: 2.5 SPS
    const sim::EvmModel& evm = bus.addEvm("SIM", config, sim::Wire::Paced);
    Link link({"SIM"}, bus.factory(), clock);
    QuietPrompts prompts;
    if (FindEvm(link, prompts, 1) != 1) {
        return false;
    }
    QTemporaryDir folder;
    const std::string path = folder.filePath(QStringLiteral("trend.csv")).toStdString();
    CaptureInfo info;
    info.scale = {.gain = 1, .rateHz = 2.5, .vref = 2.5};
    TrendWriter trend;
    if (!trend.create(path, trendHeader(info, kSoakCount))) {
        std::fprintf(stderr, "%s\n", trend.error().c_str());
        return false;
    }
    LongRunPlan plan;
    plan.count = kSoakCount;
    plan.blocks = options.blocks;
    SamplingView view(options.blocks, evm);
    const auto virtualStart = clock.now();
    const auto started = std::chrono::steady_clock::now();
    const LongRunOutcome outcome = runLongRun(link, prompts, nullptr, plan, info, trend, view);
    const double real =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (outcome.end != LongRunEnd::Finished || outcome.blocks != options.blocks) {
        std::fprintf(stderr, "the soak ended after %zu blocks\n", outcome.blocks);
        return false;
    }
    const double hours = std::chrono::duration<double>(clock.now() - virtualStart).count() / 3600;
    line("virtual time covered", "%.2f h", hours);
    line("real time taken", "%.2f s", real);
    for (const auto& [number, memory] : view.samples) {
        char label[64];
        std::snprintf(label, sizeof label, "after block %zu: heap, resident", number);
        line(label, "%.1f KiB, %.0f KiB", memory.heapKib, memory.residentKib);
    }
    const Memory& early = view.samples[1].second;  // block 1000
    const Memory& last = view.samples.back().second;
    const double growth = last.heapKib - early.heapKib;
    line("heap growth from block 1000", "%.1f KiB (goal <= %.0f KiB: %s)", growth,
         kGoalHeapGrowthKib, yesNo(growth <= kGoalHeapGrowthKib));
    line("resident growth from block 1000", "%.0f KiB", last.residentKib - early.residentKib);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const std::optional<Options> options = parseOptions(application.arguments());
    if (!options) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const bool swept = sweepRun(*options);
    const bool soaked = soakRun(*options);
    return swept && soaked ? 0 : 1;
}
