// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orv {

// A profile: the converter's eleven register bytes under [REG] and the EVM
// type under [EVM], in an initialisation file (see ini_document.h).
inline constexpr std::string_view kProfileTarget = "VXR5307";

// The register keys in address order, 0x00 to 0x0A. The data-rate register
// is stored as "DRAT", not under its register name.
inline constexpr std::array<std::string_view, 11> kProfileKeys = {
    "STATUS", "MUX", "ADCON", "DRAT", "IO", "OFC0", "OFC1", "OFC2", "FSC0", "FSC1", "FSC2"};

using ProfileRegisters = std::array<std::uint8_t, 11>;

// A register's value is read through a buffer of 16 characters: only the
// first 15 characters of the value count.
inline constexpr std::size_t kProfileValueChars = 15;

// The registers of a profile whose [EVM] "Target" equals kProfileTarget
// without regard to case; empty for any other file. Each value is cut to
// kProfileValueChars characters, read by parseRegisterValue and kept to its
// low 8 bits; a missing key reads as 0.
std::optional<ProfileRegisters> readProfile(std::string_view fileText);

// `existing` (empty for a new file) after writing "Target" = kProfileTarget
// into [EVM] and then every register, in address order, as "0x" and two
// upper-case hexadecimal digits into [REG]. A new file is
// "[EVM]\r\nTarget=VXR5307\r\n[REG]\r\nSTATUS=0x..\r\n...FSC2=0x..\r\n".
std::string writeProfile(std::string_view existing, const ProfileRegisters& registers);

}  // namespace orv
