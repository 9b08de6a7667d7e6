// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace orv {

// The converter's eleven one-byte registers, by address.
enum RegisterAddress : std::uint8_t {
    STATUS = 0x00,
    MUX = 0x01,
    ADCON = 0x02,
    DRATE = 0x03,
    IO = 0x04,
    OFC0 = 0x05,
    OFC1 = 0x06,
    OFC2 = 0x07,
    FSC0 = 0x08,
    FSC1 = 0x09,
    FSC2 = 0x0A,
};

inline constexpr int kRegisterCount = 11;

// Eleven register bytes indexed by address.
using RegisterBytes = std::array<std::uint8_t, kRegisterCount>;

// The last register values the EVM confirmed or a profile loaded.
using RegisterImage = RegisterBytes;

// The register names, by address.
inline constexpr std::array<const char*, kRegisterCount> kRegisterNames = {
    "STATUS", "MUX", "ADCON", "DRATE", "IO", "OFC0", "OFC1", "OFC2", "FSC0", "FSC1", "FSC2"};

// Field masks: a field is set by clearing it with its clear mask and OR-ing
// in the code shifted to the field's position.
namespace field {
inline constexpr std::uint8_t kGainClear = 0xF8;           // ADCON bits 2-0
inline constexpr std::uint8_t kSensorCurrentClear = 0xE7;  // ADCON bits 4-3
inline constexpr std::uint8_t kClockOutClear = 0x9F;       // ADCON bits 6-5
inline constexpr std::uint8_t kOrderClear = 0xF7;          // STATUS bit 3
inline constexpr std::uint8_t kOrderSet = 0x08;
inline constexpr std::uint8_t kBufferClear = 0xFD;  // STATUS bit 1
inline constexpr std::uint8_t kBufferSet = 0x02;
// IO: direction bits of D3..D0 (1 = input), then level bits of D3..D0 (1 = high).
inline constexpr std::array<std::uint8_t, 4> kIoDirection = {0x80, 0x40, 0x20, 0x10};
inline constexpr std::array<std::uint8_t, 4> kIoLevel = {0x08, 0x04, 0x02, 0x01};
}  // namespace field

// `value` with the bits of `mask` set or cleared.
inline std::uint8_t withBits(std::uint8_t value, std::uint8_t mask, bool set) {
    return static_cast<std::uint8_t>(set ? value | mask : value & ~mask);
}

inline std::uint8_t withGain(std::uint8_t adcon, int code) {
    return static_cast<std::uint8_t>((adcon & field::kGainClear) | (code & 0x07));
}
inline std::uint8_t withSensorCurrent(std::uint8_t adcon, int code) {
    return static_cast<std::uint8_t>((adcon & field::kSensorCurrentClear) | ((code & 0x03) << 3));
}
inline std::uint8_t withClockOut(std::uint8_t adcon, int code) {
    return static_cast<std::uint8_t>((adcon & field::kClockOutClear) | ((code & 0x03) << 5));
}
inline int gainCode(std::uint8_t adcon) {
    return adcon & 0x07;
}
inline int sensorCurrentCode(std::uint8_t adcon) {
    return (adcon >> 3) & 0x03;
}
inline int clockOutCode(std::uint8_t adcon) {
    return (adcon >> 5) & 0x03;
}

// Input channels of both MUX nibbles: 0-7 are AIN0-AIN7, 8 is AINCOM.
inline constexpr int kAinCom = 8;

struct MuxChannels {
    int positive;
    int negative;
    bool operator==(const MuxChannels&) const = default;
};

inline std::uint8_t encodeMux(int positive, int negative) {
    return static_cast<std::uint8_t>((positive << 4) + negative);
}

// Any nibble above 7 decodes as AINCOM.
inline MuxChannels decodeMux(std::uint8_t value) {
    const int positive = value >> 4;
    const int negative = value & 0x0F;
    return {positive > 7 ? kAinCom : positive, negative > 7 ? kAinCom : negative};
}

// A register value as two upper-case hexadecimal digits.
std::string registerText(std::uint8_t value);

// A 24-bit calibration value as six upper-case hexadecimal digits, most
// significant byte first, from its three register bytes.
std::string calibrationText(std::uint8_t high, std::uint8_t middle, std::uint8_t low);

// The clock output for clock-output code `code` in megahertz, "%2.6fMHz":
// the input clock halved (code - 1) times, 0 when the output is off.
std::string clockOutText(int inputClockHz, int code);

}  // namespace orv
