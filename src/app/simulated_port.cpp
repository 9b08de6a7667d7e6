// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/simulated_port.h"

#include <cstdio>

#ifdef __unix__
#include "sim/pty_server.h"
#else
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

// The device opens by name after it is made, so it picks its side then.
class RoutingDevice final : public SerialDevice {
public:
    RoutingDevice(std::string simulated, SerialDeviceFactory simulator, SerialDeviceFactory real)
        : simulated_(std::move(simulated)),
          simulator_(std::move(simulator)),
          real_(std::move(real)) {}

    bool open(const std::string& name) override {
        inner_ = name == simulated_ ? simulator_() : real_();
        if (!inner_ || !inner_->open(name)) {
            return false;
        }
        inner_->setLostHandler(onLost_);
        return true;
    }
    IoStatus write(std::span<const std::uint8_t> bytes, std::chrono::milliseconds bound) override {
        return inner_ ? inner_->write(bytes, bound) : IoStatus::Lost;
    }
    ReadResult read(std::span<std::uint8_t> buffer, std::chrono::milliseconds bound) override {
        return inner_ ? inner_->read(buffer, bound) : ReadResult{0, IoStatus::Lost};
    }
    void clear() override {
        if (inner_) {
            inner_->clear();
        }
    }
    void close() override {
        if (inner_) {
            inner_->close();
        }
    }
    void setLostHandler(std::function<void()> onLost) override {
        onLost_ = std::move(onLost);
        if (inner_) {
            inner_->setLostHandler(onLost_);
        }
    }

private:
    std::string simulated_;
    SerialDeviceFactory simulator_;
    SerialDeviceFactory real_;
    std::unique_ptr<SerialDevice> inner_;
    std::function<void()> onLost_;
};

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
    return [name = name_, simulator = impl_->bus.factory(), real] {
        return std::make_unique<RoutingDevice>(name, simulator, real);
    };
}

#endif

SimulatedPort::SimulatedPort() = default;
SimulatedPort::~SimulatedPort() = default;

}  // namespace orv
