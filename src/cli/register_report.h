// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <nlohmann/json.hpp>
#include <span>
#include <string>

#include "converter/register_io.h"
#include "converter/registers.h"

namespace orv::cli {

using Json = nlohmann::ordered_json;

// The registers as every command that reads them shows them.

// {"STATUS": "30", ..., "FSC2": "45"}: all eleven, in address order, two
// upper-case hexadecimal digits each.
Json registersJson(const RegisterImage& image);

// The fields of the registers, keyed as `set` names them where it sets
// them:
//   "mux": "AIN0,AIN1", "gain": 1, "rate_sps": 30000 (null for a DRATE
//   code the data-rate list lacks), "buffer": "on" | "off",
//   "clock-out": "off" | "clkin" | "clkin/2" | "clkin/4",
//   "sensor": "off" | "0.5" | "2" | "10" (µA),
// then the ones only read:
//   "id": 3 (STATUS bits 7-4), "order": "msb-first" | "lsb-first",
//   "auto-calibration": "on" | "off", "drdy": "low" | "high" (the data-ready
//   bit; low means a result is ready),
//   "io": {"D3": {"direction": "input" | "output", "level": "high" | "low"},
//          ..., "D0": {...}},
//   "offset": "000000", "full-scale": "455A3E" (OFC2..OFC0 and FSC2..FSC0
//   as 24-bit hexadecimal numbers).
Json fieldsJson(const RegisterImage& image);

// {"MUX": "23", ...}: the writes in the order sent (a register written
// twice keeps its last value).
Json writesJson(std::span<const RegisterWrite> writes);

// The readable table: each register with its address and value, then each
// field with its value, one a line.
std::string registersText(const RegisterImage& image);

}  // namespace orv::cli
