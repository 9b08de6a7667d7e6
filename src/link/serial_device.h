// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace orv {

// What a device operation came to. Lost means the device is gone (unplugged,
// hung up, any error other than a time-out): the link closes it.
enum class IoStatus { Ok, TimedOut, Lost };

struct ReadResult {
    std::size_t count = 0;
    IoStatus status = IoStatus::Ok;
};

// One serial port, used in blocking style from one thread. Implemented by
// the real serial port and by the in-memory simulated EVM.
class SerialDevice {
public:
    virtual ~SerialDevice() = default;

    // Opens the named port at 115200 baud, 8 data bits, no parity, one stop
    // bit, and discards whatever both directions hold.
    virtual bool open(const std::string& name) = 0;

    // Writes every byte within `bound`.
    virtual IoStatus write(std::span<const std::uint8_t> bytes,
                           std::chrono::milliseconds bound) = 0;

    // Waits up to `bound` for at least one byte, then returns at once with what
    // has arrived (at most buffer.size() bytes). A time-out returns count 0.
    virtual ReadResult read(std::span<std::uint8_t> buffer, std::chrono::milliseconds bound) = 0;

    // Discards unsent output and unread input.
    virtual void clear() = 0;

    virtual void close() = 0;
};

// Makes an unopened device; the link opens it by name.
using SerialDeviceFactory = std::function<std::unique_ptr<SerialDevice>()>;

}  // namespace orv
