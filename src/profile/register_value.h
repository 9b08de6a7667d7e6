// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

namespace orv {

// A register value's text read as an unsigned hexadecimal number, the way
// the C library's strtoul reads base 16 with a 32-bit unsigned long: leading
// white space skipped, an optional sign, an optional "0x" or "0X", then the
// digits up to the first other character. No digits gives 0; a value beyond
// 32 bits gives 0xFFFFFFFF whatever the sign; a minus sign negates the
// number modulo 2^32.
std::uint32_t parseRegisterValue(std::string_view text);

}  // namespace orv
