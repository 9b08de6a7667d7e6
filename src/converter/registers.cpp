// SPDX-License-Identifier: GPL-3.0-or-later
#include "converter/registers.h"

#include "link/printf.h"

namespace orv {

std::string registerText(std::uint8_t value) {
    return printfText("%02X", value);
}

std::string calibrationText(std::uint8_t high, std::uint8_t middle, std::uint8_t low) {
    return printfText("%02X%02X%02X", high, middle, low);
}

std::string clockOutText(int inputClockHz, int code) {
    const double megahertz = code == 0 ? 0.0 : inputClockHz / double(1 << (code - 1)) / 1000000;
    return fitBuffer(fixedText(megahertz, 6) + "MHz", 20);
}

}  // namespace orv
