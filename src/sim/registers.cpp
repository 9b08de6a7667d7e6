// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/registers.h"

#include <algorithm>
#include <utility>

namespace orv::sim {

namespace {

constexpr std::array<std::pair<std::uint8_t, double>, 16> kDataRates = {{
    {0x03, 2.5},
    {0x13, 5.0},
    {0x23, 10.0},
    {0x33, 15.0},
    {0x43, 25.0},
    {0x53, 30.0},
    {0x63, 50.0},
    {0x72, 60.0},
    {0x82, 100.0},
    {0x92, 500.0},
    {0xA1, 1000.0},
    {0xB0, 2000.0},
    {0xC0, 3750.0},
    {0xD0, 7500.0},
    {0xE0, 15000.0},
    {0xF0, 30000.0},
}};

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

int gainOf(std::uint8_t adcon) {
    return 1 << std::min(adcon & 0x07, 6);
}

double dataRateOf(std::uint8_t drate) {
    const auto found = std::find_if(kDataRates.begin(), kDataRates.end(),
                                    [drate](const auto& rate) { return rate.first == drate; });
    return found == kDataRates.end() ? 30000.0 : found->second;
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
