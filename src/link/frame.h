// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

namespace orv {

// Command codes: byte 2 of a command frame.
enum class Command : std::uint8_t {
    WriteReg = 0x01,
    ReadReg = 0x02,
    SelfCal = 0x03,
    SelfOffsetCal = 0x04,
    SelfGainCal = 0x05,
    SysOffsetCal = 0x06,
    SysGainCal = 0x07,
    Standby = 0x08,
    PowerDown = 0x09,
    Reset = 0x0A,
    Wakeup = 0x0C,
    ReadData = 0x0F,
    Handshake = 0xF0,
};

inline constexpr std::uint8_t kFrameMark = 0x55;

using Frame = std::array<std::uint8_t, 6>;       // mark, type, command, param high, param low, sum
using Reply = std::array<std::uint8_t, 3>;       // status, data, check
using SampleItem = std::array<std::uint8_t, 4>;  // d0 d1 d2 (result, MSB first), check

// The checksum counts byte 1 as 1 whatever it holds, so for type 1 bytes 1..5
// add up to 0 modulo 256.
constexpr std::uint8_t frameChecksum(std::uint8_t command, std::uint8_t high, std::uint8_t low) {
    return static_cast<std::uint8_t>(0x100 - ((1 + command + high + low) & 0xFF));
}

// A frame for EVM type `evmType` (its low byte travels in byte 1).
constexpr Frame CommandFrame(int evmType, std::uint8_t command, std::uint8_t high = 0,
                             std::uint8_t low = 0) {
    return {kFrameMark, static_cast<std::uint8_t>(evmType & 0xFF), command, high,
            low,        frameChecksum(command, high, low)};
}

constexpr Frame CommandFrame(int evmType, Command command, std::uint8_t high = 0,
                             std::uint8_t low = 0) {
    return CommandFrame(evmType, static_cast<std::uint8_t>(command), high, low);
}

constexpr Frame ReadDataFrame(int evmType, int count) {
    return CommandFrame(evmType, Command::ReadData, static_cast<std::uint8_t>((count >> 8) & 0xFF),
                        static_cast<std::uint8_t>(count & 0xFF));
}

// The reply's check byte: byte 1 plus the frame's command and parameter bytes.
constexpr std::uint8_t replyCheck(std::uint8_t data, std::uint8_t command, std::uint8_t high,
                                  std::uint8_t low) {
    return static_cast<std::uint8_t>(data + command + high + low);
}

// Reply checks, one per kind of exchange.

// A command without parameters is answered 00 00 <code>.
constexpr bool plainReplyOk(Command command, const Reply& reply) {
    return reply[0] == 0 && reply[1] == 0 && reply[2] == static_cast<std::uint8_t>(command);
}

// A register write of v to a is answered 00 00 (1 + a + v).
constexpr bool writeReplyOk(std::uint8_t address, std::uint8_t value, const Reply& reply) {
    return reply[0] == 0 && reply[1] == 0 && reply[2] == replyCheck(0, 0x01, address, value);
}

// A register read of a is answered 00 v (v + 2 + a); byte 1 is the value.
constexpr bool readReplyOk(std::uint8_t address, const Reply& reply) {
    return reply[0] == 0 && reply[2] == replyCheck(reply[1], 0x02, address, 0);
}

// A sample item carries the low byte of the sum of its three data bytes.
constexpr bool itemChecksumOk(std::uint8_t d0, std::uint8_t d1, std::uint8_t d2,
                              std::uint8_t check) {
    return static_cast<std::uint8_t>(d0 + d1 + d2) == check;
}

}  // namespace orv
