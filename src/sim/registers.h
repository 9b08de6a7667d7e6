// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "analysis/scale.h"

namespace orv::sim {

inline constexpr std::size_t kRegisterCount = 11;
using Registers = std::array<std::uint8_t, kRegisterCount>;

inline constexpr std::uint8_t kStatus = 0x00;
inline constexpr std::uint8_t kMux = 0x01;
inline constexpr std::uint8_t kAdcon = 0x02;
inline constexpr std::uint8_t kDrate = 0x03;
inline constexpr std::uint8_t kOfc0 = 0x05;  // OFC0..2: offset, least significant byte first
inline constexpr std::uint8_t kFsc0 = 0x08;  // FSC0..2: full-scale, least significant byte first

// STATUS, MUX, ADCON, DRATE, IO, OFC0..2, FSC0..2 after power-on.
inline constexpr Registers kPowerOnRegisters = {0x30, 0x01, 0x20, 0xF0, 0xE1, 0x00,
                                                0x00, 0x00, 0x3E, 0x5A, 0x45};

// The programmable gain of ADCON bits 2-0: 1, 2, 4 ... 64; code 7 is 64 too.
using analysis::gainOf;

// Conversions per second of a DRATE code; codes outside the data-rate list
// run at 30000.
double dataRateOf(std::uint8_t drate);

// STATUS bit 1: the analog input buffer is on.
inline bool bufferOn(std::uint8_t status) {
    return (status & 0x02) != 0;
}

// OFC as a signed 24-bit number, FSC as an unsigned one.
std::int32_t offsetRegister(const Registers& registers);
std::uint32_t fullScaleRegister(const Registers& registers);
void setOffsetRegister(Registers& registers, std::int32_t value);
void setFullScaleRegister(Registers& registers, std::uint32_t value);

}  // namespace orv::sim
