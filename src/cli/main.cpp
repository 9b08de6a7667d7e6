// SPDX-License-Identifier: GPL-3.0-or-later
// orvellin-cli: the tool without a window. Everything but the process's
// own pieces (the real serial ports, the clock, the streams, Ctrl-C) is in
// the orvellin_cli library, which the tests drive.

#include <QCoreApplication>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "cli/runner.h"
#include "link/port_catalog.h"
#include "link/qt_serial_device.h"
#include "seams/clock.h"
#include "sim/sim_bus.h"

namespace {

// Set by Ctrl-C; the collection looks at it after every item.
std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void onInterrupt(int) {
    interrupted.store(true);
}

// The first Ctrl-C asks the collection to stop; a second one, with the
// default action back in place, ends the program at once.
void handleInterrupt() {
#ifdef _WIN32
    std::signal(SIGINT, onInterrupt);  // reset to the default when it runs
#else
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
#endif
}

bool errorStreamIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

}  // namespace

int main(int argc, char** argv) {
    handleInterrupt();
    const std::vector<std::string> args(argv + 1, argv + argc);
    // The real serial port needs the application object of its thread.
    QCoreApplication application(argc, argv);

    orv::SystemClock clock;
    // --simulate: a fresh simulated EVM in memory, on a clock of its own
    // that moves only as its answers need.
    orv::ManualClock simulatorClock;
    std::optional<orv::sim::SimBus> simulator;

    orv::cli::CliEnvironment environment{
        .systemPorts = orv::systemSerialPorts,
        .devices = [] { return std::make_unique<orv::QtSerialDevice>(); },
        .simulator =
            [&] {
                const std::string name = "SIM";
                simulator.emplace(simulatorClock);
                simulator->addEvm(name);
                return orv::cli::SimulatedEvmPort{name, simulator->factory()};
            },
        .clock = clock,
        .out = std::cout,
        .err = std::cerr,
        .errIsTerminal = errorStreamIsTerminal(),
        .stopRequested = [] { return interrupted.load(); },
    };
    return orv::cli::runCommandLine(args, environment);
}
