// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "link/frame.h"
#include "sim/analog_input.h"
#include "sim/fault.h"
#include "sim/reaction.h"
#include "sim/registers.h"
#include "sim/signal_source.h"

namespace orv::sim {

struct EvmConfig {
    int type = 1;                           // frames for another type get no answer
    Registers powerOn = kPowerOnRegisters;  // the registers at start and after a reset
    double toneHz = kDefaultToneHz;         // the test tone's frequency, on AIN0 by default
    std::array<std::optional<AnalogInput>, kInputCount> inputs{};  // in place of the defaults
    Fault fault{};
};

// The inputs a configuration gives: the defaults with the test tone at
// `toneHz`, each replaced by the input given for it.
Inputs inputsOf(const EvmConfig& config);

// The EVM's behaviour, free of time and transport: bytes from the tool go in,
// what the EVM sends back comes out as reactions, one per answered frame.
//
// Frames are cut from the byte stream wherever they fall: bytes before a 0x55
// are skipped, the next six bytes from a 0x55 make a frame, and a partial frame
// waits for the rest. Every cut frame is logged; one with a wrong checksum or
// for another EVM type is not answered, and neither is an unknown command.
// A fault changes only the answer, never what the command does, except
// FailingReset, whose reset leaves everything as it was.
//
// The data command's items are the converter's results (`converter.h`) for
// the input MUX selects (`signal_source.h`); the calibrations measure the
// converter's offset and gain into OFC and FSC, which correct every later
// result. On a paced wire the items come no faster than the data rate.
class EvmModel {
public:
    explicit EvmModel(EvmConfig config = {});

    std::vector<Reaction> receive(std::span<const std::uint8_t> bytes);

    // Direct access for tests, bypassing the read-only ID bits of STATUS.
    std::uint8_t registerValue(std::uint8_t address) const;
    void setRegister(std::uint8_t address, std::uint8_t value);
    const Registers& registers() const { return registers_; }
    const Inputs& inputs() const { return signal_.inputs(); }

    const std::vector<Frame>& frames() const { return frames_; }
    void clearFrames() { frames_.clear(); }

    const Fault& fault() const { return config_.fault; }
    void setFault(Fault fault) { config_.fault = std::move(fault); }

private:
    std::optional<Reaction> answer(const Frame& frame);
    std::optional<Reply> replyTo(const Frame& frame, bool faulty);
    std::optional<std::uint8_t> execute(const Frame& frame);
    std::vector<std::uint8_t> sendItems(const Frame& frame, bool faulty);
    void deliver(const Frame& frame, Reaction& reaction) const;

    void writeRegister(std::uint8_t address, std::uint8_t value);
    void reset();
    std::int32_t nextResult();
    double rawOf(double volts) const;  // for the present gain
    void calibrateOffset(double volts);
    void calibrateSelfGain();
    void calibrateSystemGain();

    EvmConfig config_;
    Registers registers_;
    SignalSource signal_;
    std::vector<std::uint8_t> pending_;
    std::vector<Frame> frames_;
};

}  // namespace orv::sim
