// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSerialPort>

#include "link/serial_device.h"

namespace orv {

// The real serial port, used in blocking style on the calling thread.
// A loss between operations is noticed when the port reports an error while
// the thread's event loop runs (the port watches its descriptor for input).
class QtSerialDevice final : public SerialDevice {
public:
    QtSerialDevice();

    bool open(const std::string& name) override;
    IoStatus write(std::span<const std::uint8_t> bytes, std::chrono::milliseconds bound) override;
    ReadResult read(std::span<std::uint8_t> buffer, std::chrono::milliseconds bound) override;
    void clear() override;
    void close() override;
    void setLostHandler(std::function<void()> onLost) override { onLost_ = std::move(onLost); }

private:
    bool failed() const;
    IoStatus lose();
    void OnErrorOccurred(QSerialPort::SerialPortError error);

    QSerialPort port_;
    std::function<void()> onLost_;
    bool inOperation_ = false;  // errors then belong to the operation's result
};

}  // namespace orv
