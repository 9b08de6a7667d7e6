// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "converter/register_io.h"
#include "converter/registers.h"

namespace orv::cli {

// The register fields the command line names, and their words. Words are
// matched without regard to case and written in lower case, but for the
// input names (AIN0 ... AIN7, AINCOM), which are written in upper case.

// MUX channels 0-7 and kAinCom.
inline constexpr std::array<std::string_view, 9> kChannelNames = {
    "AIN0", "AIN1", "AIN2", "AIN3", "AIN4", "AIN5", "AIN6", "AIN7", "AINCOM"};
// ADCON bits 6-5, by code.
inline constexpr std::array<std::string_view, 4> kClockOutWords = {"off", "clkin", "clkin/2",
                                                                   "clkin/4"};
// ADCON bits 4-3, by code: the sensor-detect current in microamperes.
inline constexpr std::array<std::string_view, 4> kSensorWords = {"off", "0.5", "2", "10"};

// What `set` changes: each field given, as its register code.
struct FieldSettings {
    std::optional<std::uint8_t> mux;  // the whole MUX byte
    std::optional<int> gainCode;      // ADCON bits 2-0
    std::optional<std::uint8_t> drate;
    std::optional<bool> buffer;       // STATUS bit 1
    std::optional<int> clockOutCode;  // ADCON bits 6-5
    std::optional<int> sensorCode;    // ADCON bits 4-3

    bool empty() const {
        return !mux && !gainCode && !drate && !buffer && !clockOutCode && !sensorCode;
    }
};

// Reads one FIELD=VALUE into `settings`. An error text for an unknown field,
// a value out of range, two equal MUX channels (the window's own message)
// or a field given twice; empty when it was taken.
std::string parseFieldSetting(std::string_view argument, FieldSettings& settings);

// The writes that carry `settings` over the registers as read: only the
// registers a field lies in, each with its other bits as read, in address
// order (STATUS, MUX, ADCON, DRATE).
std::vector<RegisterWrite> fieldWrites(const FieldSettings& settings, const RegisterImage& read);

// Reads one NAME=HEX of `write`: a register name (STATUS ... FSC2, without
// regard to case) and one or two hexadecimal digits, "0x" allowed. An error
// text, or empty when it was taken.
std::string parseRegisterWrite(std::string_view argument, std::vector<RegisterWrite>& writes);

// A register's address by its name, without regard to case.
std::optional<std::uint8_t> registerAddress(std::string_view name);

// "AIN0,AIN1".
std::string muxText(std::uint8_t mux);

}  // namespace orv::cli
