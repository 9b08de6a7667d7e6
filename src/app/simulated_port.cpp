// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/simulated_port.h"

#include <cstdio>

#ifdef __unix__
#include "sim/pty_server.h"
#else
#include "link/routed_devices.h"
#include "sim/sim_bus.h"
#endif

namespace orv {

#ifdef __unix__

struct SimulatedPort::Impl {
    sim::PtyServer server;
};

bool SimulatedPort::start() {
    impl_ = std::make_unique<Impl>();
    if (!impl_->server.start()) {
        std::fprintf(stderr, "orvellin: cannot serve the simulated EVM: %s\n",
                     impl_->server.error().c_str());
        impl_.reset();
        return false;
    }
    name_ = impl_->server.path();
    return true;
}

SerialDeviceFactory SimulatedPort::factory(SerialDeviceFactory real) {
    return real;
}

#else

struct SimulatedPort::Impl {
    ManualClock clock;
    sim::SimBus bus{clock};
};

bool SimulatedPort::start() {
    impl_ = std::make_unique<Impl>();
    name_ = "SIM";
    impl_->bus.addEvm(name_);
    return true;
}

SerialDeviceFactory SimulatedPort::factory(SerialDeviceFactory real) {
    if (!impl_) {
        return real;
    }
    return routedDevices(name_, impl_->bus.factory(), std::move(real));
}

#endif

SimulatedPort::SimulatedPort() = default;
SimulatedPort::~SimulatedPort() = default;

}  // namespace orv
