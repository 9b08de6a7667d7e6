// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/link.h"

#include <algorithm>

namespace orv {

Link::Link(PortLister ports, SerialDeviceFactory factory, Clock& clock)
    : lister_(std::move(ports)), factory_(std::move(factory)), clock_(clock) {}

Link::Link(std::vector<std::string> portNames, SerialDeviceFactory factory, Clock& clock)
    : Link([names = std::move(portNames)] { return names; }, std::move(factory), clock) {
    refreshPorts();
}

Link::~Link() {
    ClosePort();
}

void Link::refreshPorts() {
    portNames_ = lister_ ? lister_() : std::vector<std::string>{};
    if (portNames_.size() > static_cast<std::size_t>(kMaxPorts)) {
        portNames_.resize(kMaxPorts);
    }
}

std::string Link::portName(int n) const {
    if (n < 1 || n > portCount()) {
        return {};
    }
    return portNames_[static_cast<std::size_t>(n - 1)];
}

std::string Link::portDisplayName(int n) const {
    if (n < 1 || n > portCount()) {
        return {};
    }
    return displayNameOfPort(portNames_[static_cast<std::size_t>(n - 1)]);
}

bool Link::OpenPort(int n) {
    ClosePort();
    retired_.reset();
    if (n < 1 || n > portCount()) {
        return false;
    }
    auto device = factory_();
    if (!device || !device->open(portNames_[static_cast<std::size_t>(n - 1)])) {
        return false;
    }
    device->setLostHandler([this] { loseDevice(); });
    state_.port = std::move(device);
    state_.portNumber = n;
    return true;
}

int Link::SendFrame(const Frame& frame, int waitMs) {
    if (!isOpen()) {
        return link_status::kInvalidHandle;
    }
    state_.port->clear();
    const auto bound = std::min(std::chrono::milliseconds(std::max(waitMs, 0)), kWriteTimeout);
    if (state_.port->write(frame, bound) == IoStatus::Lost) {
        loseDevice();
    }
    return link_status::kSuccess;
}

int Link::ReceiveBytes(std::span<std::uint8_t> buffer) {
    if (!isOpen()) {
        return link_status::kInvalidHandle;
    }
    const auto deadline = clock_.now() + kReadTimeout;
    std::size_t received = 0;
    while (received < buffer.size()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - clock_.now());
        if (left.count() <= 0) {
            break;
        }
        const ReadResult result = state_.port->read(buffer.subspan(received), left);
        received += result.count;
        if (result.status == IoStatus::Lost) {
            loseDevice();
            return link_status::kDeviceNotConnected;
        }
    }
    return received == buffer.size() ? link_status::kSuccess : link_status::kReadFault;
}

void Link::ClosePort() {
    if (state_.port) {
        state_.port->close();
        state_.port.reset();
    }
    state_.portNumber = 0;
}

// A device that reports anything but a time-out is gone; keeping it open
// would only repeat the error (and some drivers spin on it).
void Link::loseDevice() {
    if (!state_.port) {
        return;
    }
    state_.port->close();
    retired_ = std::move(state_.port);
    state_.portNumber = 0;
    if (onLost_) {
        onLost_();
    }
}

std::string displayNameOfPort(const std::string& name) {
    constexpr std::string_view kDevPrefix = "/dev/";
    if (name.starts_with(kDevPrefix)) {
        return name.substr(kDevPrefix.size());
    }
    return name;
}

}  // namespace orv
