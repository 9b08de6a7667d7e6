// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <memory>
#include <string>

#include "link/serial_device.h"
#include "seams/clock.h"
#include "sim/evm_model.h"
#include "sim/reaction.h"

namespace orv::sim {

// Named in-memory serial ports for tests, on a manual clock: a read that has
// to wait moves the clock instead of sleeping, so every exchange is
// deterministic and costs no real time. The bus outlives its devices.
//
// A device's read hands out what is due at once; otherwise, if something
// becomes due within the bound, it moves the clock there and hands that out;
// otherwise it moves the clock by the whole bound and times out. Writes feed
// the EVM at the clock's time and take none. When the EVM hangs up, reads give
// Lost once the bytes before the hang-up are taken, and the port is gone from
// the bus: later opens of its name fail.
class SimBus {
public:
    explicit SimBus(ManualClock& clock) : clock_(clock) {}

    // An EVM behind port `name`; its model lives as long as the bus, across
    // opens. Names are unique.
    EvmModel& addEvm(const std::string& name, EvmConfig config = {}, Wire wire = Wire::Instant);

    // A port that opens and takes writes, with nothing behind it that answers.
    void addSilentPort(const std::string& name);

    // Makes devices that open only names on this bus, one device per port at
    // a time.
    SerialDeviceFactory factory();

    // The device behind `name` goes away, as an unplugged adapter does: a
    // device open on it is told at once (its lost handler runs) and fails
    // every later operation, and the name no longer opens. Nothing happens
    // for a name that is not on the bus.
    void unplug(const std::string& name);

    int openCount(const std::string& name) const;  // successful opens so far
    bool isOpen(const std::string& name) const;
    bool isPresent(const std::string& name) const;  // on the bus and not hung up

private:
    class Device;

    struct Port {
        std::unique_ptr<EvmModel> model;  // none for a silent port
        Wire wire = Wire::Instant;
        int opens = 0;
        Device* device = nullptr;  // the device open on this port, if any
        bool present = true;
    };

    Port& addPort(const std::string& name, std::unique_ptr<EvmModel> model, Wire wire);
    const Port* find(const std::string& name) const;

    ManualClock& clock_;
    std::map<std::string, Port> ports_;  // map nodes stay put while devices point at them
};

}  // namespace orv::sim
