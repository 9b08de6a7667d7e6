// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "link/frame.h"
#include "link/serial_device.h"
#include "seams/clock.h"

namespace orv {

// Link status: the result of every link operation, a Windows system error
// code, whatever the platform, because every caller compares these values.
namespace link_status {
inline constexpr int kSuccess = 0;
inline constexpr int kInvalidHandle = 6;          // no port open: nothing was sent or read
inline constexpr int kInvalidData = 13;           // data arrived but failed its check
inline constexpr int kReadFault = 30;             // fewer bytes than asked within the read time-out
inline constexpr int kDeviceNotConnected = 1167;  // the device went away; the port is closed
}  // namespace link_status

// The process-wide link record: the open port (at most one) and the EVM type
// of the last successful detection.
struct LinkState {
    std::unique_ptr<SerialDevice> port;  // null when no port is open
    int portNumber = 0;                  // 1-based catalog number of the open port
    int evmType = -1;
};

// The serial transport: opening a candidate port by number, sending one
// command frame, receiving an exact number of reply bytes, closing. One
// exchange at a time, blocking the calling thread, no retries.
class Link {
public:
    static constexpr int kMaxPorts = 256;
    static constexpr std::chrono::milliseconds kReadTimeout{
        1000};  // the port's total read time-out
    static constexpr std::chrono::milliseconds kWriteTimeout{
        1000};  // the port's total write time-out

    // `ports` lists the candidates afresh for every scan (refreshPorts): port
    // number n is the list's entry n - 1; at most kMaxPorts are used. Nothing
    // is listed before the first scan.
    Link(PortLister ports, SerialDeviceFactory factory, Clock& clock);
    // The same candidates at every scan, numbered from the start.
    Link(std::vector<std::string> portNames, SerialDeviceFactory factory, Clock& clock);
    ~Link();
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    const LinkState& state() const { return state_; }
    bool isOpen() const { return state_.port != nullptr; }
    int evmType() const { return state_.evmType; }
    void setEvmType(int type) { state_.evmType = type; }

    // The clock the transport waits by; commands that pause use it too.
    Clock& clock() const { return clock_; }

    // Takes the lister's current candidates; the numbers name them until the
    // next refresh.
    void refreshPorts();
    int portCount() const { return static_cast<int>(portNames_.size()); }
    // The name users see for port n: "COM7", "ttyUSB0", "pts/3".
    std::string portDisplayName(int n) const;
    // The name port n opens by: "/dev/ttyUSB0", "COM7". Empty when n names none.
    std::string portName(int n) const;

    // Opens and configures candidate n (1-based). On failure nothing is open.
    bool OpenPort(int n);

    // Discards what both directions hold, then writes the frame within
    // min(waitMs, write time-out). Returns 6 when no port is open and 0
    // otherwise: a failed write shows up in the ReceiveBytes that follows.
    int SendFrame(const Frame& frame, int waitMs);

    // Reads exactly buffer.size() bytes within the read time-out. 0 when they
    // all arrived, 30 when fewer did, 6 when no port is open, 1167 when the
    // device went away (the port is then closed).
    int ReceiveBytes(std::span<std::uint8_t> buffer);

    void ClosePort();

    // Runs when the open port's device went away, found by an exchange or
    // between exchanges; the port is closed by then. One handler; an empty
    // one removes it.
    void setLostHandler(std::function<void()> onLost) { onLost_ = std::move(onLost); }

private:
    void loseDevice();

    PortLister lister_;
    std::vector<std::string> portNames_;
    SerialDeviceFactory factory_;
    Clock& clock_;
    LinkState state_;
    // A lost device may still be running the code that reported the loss, so
    // it is kept, closed, until the next open or the link's end.
    std::unique_ptr<SerialDevice> retired_;
    std::function<void()> onLost_;
};

// The name shown for a port: a device path loses its "/dev/" prefix.
std::string displayNameOfPort(const std::string& name);

}  // namespace orv
