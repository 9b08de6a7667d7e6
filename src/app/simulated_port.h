// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "link/link.h"
#include "seams/clock.h"

namespace orv {

// The simulated EVM that --simulate offers. Where the platform has
// pseudo-terminals it is served on one, so that the tool reaches it through
// the real serial port; elsewhere it is an in-memory port, and devices for
// that one name are made on it instead.
class SimulatedPort {
public:
    SimulatedPort();
    ~SimulatedPort();
    SimulatedPort(const SimulatedPort&) = delete;
    SimulatedPort& operator=(const SimulatedPort&) = delete;

    // False, with a reason on standard error, when it cannot be served.
    bool start();
    const std::string& name() const { return name_; }

    // Makes the device for a port name: the in-memory EVM for this port's
    // name where there is no pseudo-terminal, `real` for every other name.
    SerialDeviceFactory factory(SerialDeviceFactory real);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::string name_;
};

}  // namespace orv
