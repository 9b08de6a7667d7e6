// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/sim_bus.h"

#include <algorithm>
#include <stdexcept>

#include "sim/outbox.h"

namespace orv::sim {

class SimBus::Device final : public SerialDevice {
public:
    explicit Device(SimBus& bus) : bus_(bus) {}
    ~Device() override { close(); }

    bool open(const std::string& name) override {
        const auto found = bus_.ports_.find(name);
        if (port_ || found == bus_.ports_.end() || !found->second.present ||
            found->second.device != nullptr) {
            return false;
        }
        port_ = &found->second;
        port_->device = this;
        ++port_->opens;
        outbox_ = Outbox(port_->wire);
        lost_ = false;
        return true;
    }

    IoStatus write(std::span<const std::uint8_t> bytes, std::chrono::milliseconds) override {
        if (!port_ || lost_) {
            return IoStatus::Lost;
        }
        if (port_->model) {
            outbox_.post(now(), port_->model->receive(bytes));
        }
        return IoStatus::Ok;
    }

    ReadResult read(std::span<std::uint8_t> buffer, std::chrono::milliseconds bound) override {
        if (!port_ || lost_) {
            return {0, IoStatus::Lost};
        }
        if (buffer.empty()) {
            return {};
        }
        const auto deadline = now() + bound;
        if (const auto next = outbox_.nextDue(); !hasDue() && next && *next <= deadline) {
            bus_.clock_.advanceTo(*next);
        }
        if (const std::size_t count = takeDue(buffer); count > 0) {
            return {count, IoStatus::Ok};
        }
        if (outbox_.hangUpDue(now())) {
            lost_ = true;
            port_->present = false;
            return {0, IoStatus::Lost};
        }
        bus_.clock_.advanceTo(deadline);
        return {0, IoStatus::TimedOut};
    }

    void clear() override {
        if (port_) {
            outbox_.dropDue(now());
        }
    }

    void close() override {
        if (port_) {
            port_->device = nullptr;
            port_ = nullptr;
            outbox_.clear();
        }
    }

    void setLostHandler(std::function<void()> onLost) override { onLost_ = std::move(onLost); }

    // The handler may retire this device: it runs from a copy, once closed.
    void unplugged() {
        close();
        if (const auto onLost = onLost_) {
            onLost();
        }
    }

private:
    Clock::TimePoint now() const { return bus_.clock_.now(); }

    bool hasDue() { return !outbox_.due(now()).empty(); }

    std::size_t takeDue(std::span<std::uint8_t> buffer) {
        std::size_t count = 0;
        for (auto due = outbox_.due(now()); count < buffer.size() && !due.empty();
             due = outbox_.due(now())) {
            const std::size_t n = std::min(due.size(), buffer.size() - count);
            std::copy_n(due.begin(), n, buffer.begin() + static_cast<std::ptrdiff_t>(count));
            outbox_.take(n);
            count += n;
        }
        return count;
    }

    SimBus& bus_;
    Port* port_ = nullptr;
    Outbox outbox_{Wire::Instant};
    bool lost_ = false;
    std::function<void()> onLost_;
};

EvmModel& SimBus::addEvm(const std::string& name, EvmConfig config, Wire wire) {
    return *addPort(name, std::make_unique<EvmModel>(std::move(config)), wire).model;
}

void SimBus::addSilentPort(const std::string& name) {
    addPort(name, nullptr, Wire::Instant);
}

SerialDeviceFactory SimBus::factory() {
    return [this] { return std::make_unique<Device>(*this); };
}

void SimBus::unplug(const std::string& name) {
    const auto found = ports_.find(name);
    if (found == ports_.end()) {
        return;
    }
    found->second.present = false;
    if (Device* device = found->second.device) {
        device->unplugged();
    }
}

int SimBus::openCount(const std::string& name) const {
    const Port* port = find(name);
    return port ? port->opens : 0;
}

bool SimBus::isOpen(const std::string& name) const {
    const Port* port = find(name);
    return port && port->device != nullptr;
}

bool SimBus::isPresent(const std::string& name) const {
    const Port* port = find(name);
    return port && port->present;
}

SimBus::Port& SimBus::addPort(const std::string& name, std::unique_ptr<EvmModel> model, Wire wire) {
    const auto [where, added] = ports_.try_emplace(name);
    if (!added) {
        throw std::invalid_argument("port " + name + " is already on the bus");
    }
    where->second.model = std::move(model);
    where->second.wire = wire;
    return where->second;
}

const SimBus::Port* SimBus::find(const std::string& name) const {
    const auto found = ports_.find(name);
    return found == ports_.end() ? nullptr : &found->second;
}

}  // namespace orv::sim
