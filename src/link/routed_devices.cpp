// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/routed_devices.h"

namespace orv {

namespace {

struct Routes {
    std::string special;
    SerialDeviceFactory specialDevices;
    SerialDeviceFactory otherDevices;
};

class RoutingDevice final : public SerialDevice {
public:
    explicit RoutingDevice(std::shared_ptr<const Routes> routes) : routes_(std::move(routes)) {}

    bool open(const std::string& name) override {
        const SerialDeviceFactory& make =
            name == routes_->special ? routes_->specialDevices : routes_->otherDevices;
        inner_ = make ? make() : nullptr;
        if (!inner_ || !inner_->open(name)) {
            inner_.reset();
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
    std::shared_ptr<const Routes> routes_;
    std::unique_ptr<SerialDevice> inner_;
    std::function<void()> onLost_;
};

}  // namespace

SerialDeviceFactory routedDevices(std::string special, SerialDeviceFactory specialDevices,
                                  SerialDeviceFactory otherDevices) {
    auto routes = std::make_shared<const Routes>(
        Routes{std::move(special), std::move(specialDevices), std::move(otherDevices)});
    return [routes]() -> std::unique_ptr<SerialDevice> {
        return std::make_unique<RoutingDevice>(routes);
    };
}

}  // namespace orv
