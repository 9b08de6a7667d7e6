// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/registers.h"

namespace orv::sim {

namespace {

// A code outside the data-rate list runs at the fastest rate.
constexpr double kUnlistedRate = 30000.0;

std::uint32_t threeBytes(const Registers& registers, std::size_t first) {
    return registers[first] | (std::uint32_t{registers[first + 1]} << 8) |
           (std::uint32_t{registers[first + 2]} << 16);
}

void setThreeBytes(Registers& registers, std::size_t first, std::uint32_t value) {
    for (std::size_t i = 0; i < 3; ++i) {
        registers[first + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

}  // namespace

double dataRateOf(std::uint8_t drate) {
    return analysis::dataRateOf(drate).value_or(kUnlistedRate);
}

std::int32_t offsetRegister(const Registers& registers) {
    const std::uint32_t raw = threeBytes(registers, kOfc0);
    return static_cast<std::int32_t>(raw ^ 0x800000u) - 0x800000;
}

std::uint32_t fullScaleRegister(const Registers& registers) {
    return threeBytes(registers, kFsc0);
}

void setOffsetRegister(Registers& registers, std::int32_t value) {
    setThreeBytes(registers, kOfc0, static_cast<std::uint32_t>(value) & 0xFFFFFF);
}

void setFullScaleRegister(Registers& registers, std::uint32_t value) {
    setThreeBytes(registers, kFsc0, value & 0xFFFFFF);
}

}  // namespace orv::sim
