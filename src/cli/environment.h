// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "link/serial_device.h"
#include "seams/clock.h"

namespace orv::cli {

// The simulated EVM that --simulate adds: the name of its port and the
// devices that open it.
struct SimulatedEvmPort {
    std::string name;
    SerialDeviceFactory factory;
};

// Everything the command line takes from outside: the executable fills it
// with the system's ports, real serial devices, the system clock and the
// process's streams; tests with in-memory simulated EVMs on a manual clock.
struct CliEnvironment {
    // The ports the system lists now, asked afresh at every scan.
    PortLister systemPorts;
    // Devices for the system's ports and the --port names.
    SerialDeviceFactory devices;
    // Makes the simulated EVM of --simulate; called once, and only when
    // asked for.
    std::function<SimulatedEvmPort()> simulator;
    Clock& clock;
    std::ostream& out;  // the command's result: a table or one JSON document
    std::ostream& err;  // messages, and the progress bar
    bool errIsTerminal = false;
    // True once the user asked the program to stop (Ctrl-C); looked at after
    // every item of a collection.
    std::function<bool()> stopRequested;
};

}  // namespace orv::cli
