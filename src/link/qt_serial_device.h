// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSerialPort>

#include "link/serial_device.h"

namespace orv {

// The real serial port, used in blocking style on the calling thread.
class QtSerialDevice final : public SerialDevice {
public:
    bool open(const std::string& name) override;
    IoStatus write(std::span<const std::uint8_t> bytes, std::chrono::milliseconds bound) override;
    ReadResult read(std::span<std::uint8_t> buffer, std::chrono::milliseconds bound) override;
    void clear() override;
    void close() override;

private:
    bool failed() const;
    IoStatus lose();

    QSerialPort port_;
};

}  // namespace orv
