// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

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

    // `onLost` runs when the open device goes away between operations (an
    // unplug or a hang-up noticed while the thread's event loop runs): at
    // most once per open, never from inside an operation of this device and
    // never after close(). The device is closed by then. A device that cannot
    // notice such a loss keeps the handler and never calls it.
    virtual void setLostHandler(std::function<void()> onLost) = 0;
};

// The serial device seam has two halves: making an unopened device, which the
// link then opens by name, and listing the ports a scan may try, afresh at
// every call (ports come and go while the tool runs).
using SerialDeviceFactory = std::function<std::unique_ptr<SerialDevice>()>;
using PortLister = std::function<std::vector<std::string>()>;

}  // namespace orv
