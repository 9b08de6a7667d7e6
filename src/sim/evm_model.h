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
#include "sim/fault.h"
#include "sim/reaction.h"
#include "sim/signal_source.h"

namespace orv::sim {

inline constexpr std::size_t kRegisterCount = 11;
using Registers = std::array<std::uint8_t, kRegisterCount>;

// STATUS, MUX, ADCON, DRATE, IO, OFC0..2, FSC0..2 after power-on.
inline constexpr Registers kPowerOnRegisters = {0x30, 0x01, 0x20, 0xF0, 0xE1, 0x00,
                                                0x00, 0x00, 0x3E, 0x5A, 0x45};

struct EvmConfig {
    int type = 1;                           // frames for another type get no answer
    Registers powerOn = kPowerOnRegisters;  // the registers at start and after a reset
    double toneHz = 0.0;                    // test tone on the input, 0 for none
    Fault fault{};
};

// The EVM's behaviour, free of time and transport: bytes from the tool go in,
// what the EVM sends back comes out as reactions, one per answered frame.
//
// Frames are cut from the byte stream wherever they fall: bytes before a 0x55
// are skipped, the next six bytes from a 0x55 make a frame, and a partial frame
// waits for the rest. Every cut frame is logged; one with a wrong checksum or
// for another EVM type is not answered, and neither is an unknown command.
// A fault changes only the answer, never what the command does, except
// FailingReset, whose reset leaves everything as it was.
class EvmModel {
public:
    explicit EvmModel(EvmConfig config = {});

    std::vector<Reaction> receive(std::span<const std::uint8_t> bytes);

    // Direct access for tests, bypassing the read-only ID bits of STATUS.
    std::uint8_t registerValue(std::uint8_t address) const;
    void setRegister(std::uint8_t address, std::uint8_t value);
    const Registers& registers() const { return registers_; }

    const std::vector<Frame>& frames() const { return frames_; }
    void clearFrames() { frames_.clear(); }

    const Fault& fault() const { return config_.fault; }
    void setFault(Fault fault) { config_.fault = std::move(fault); }

private:
    static constexpr std::uint8_t kStatus = 0x00;
    static constexpr std::uint8_t kMux = 0x01;
    static constexpr std::uint8_t kAdcon = 0x02;
    static constexpr std::uint8_t kDrate = 0x03;
    static constexpr std::uint8_t kOfc0 = 0x05;
    static constexpr std::uint8_t kFsc0 = 0x08;

    std::optional<Reaction> answer(const Frame& frame);
    std::optional<Reply> replyTo(const Frame& frame, bool faulty);
    std::optional<std::uint8_t> execute(const Frame& frame);
    std::vector<std::uint8_t> sendItems(const Frame& frame, bool faulty);
    void deliver(const Frame& frame, Reaction& reaction) const;

    void writeRegister(std::uint8_t address, std::uint8_t value);
    void reset();
    std::int32_t selfOffset() const;
    std::int32_t selfFullScale() const;
    std::int32_t appliedInput() const;  // noise-free result for MUX and gain
    void setOffset(std::int32_t value);
    void setFullScale(std::int32_t value);
    std::uint8_t gainCode() const { return registers_[kAdcon] & 0x07; }

    EvmConfig config_;
    Registers registers_;
    SignalSource signal_;
    std::vector<std::uint8_t> pending_;
    std::vector<Frame> frames_;
};

}  // namespace orv::sim
