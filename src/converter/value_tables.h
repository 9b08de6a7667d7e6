// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

#include "analysis/scale.h"

namespace orv {

// One item of a drop-down list: `name` is shown, `code` is the register code
// kept as the item's data. A table ends with the mark {-1, 0, ""}; only a
// `valid` of -1 is ever tested.
struct ValueEntry {
    int valid;
    int code;
    const char* name;
};

// ADCON bits 6-5.
inline constexpr ValueEntry ClockOutTable[] = {
    {1, 0, "Off"}, {1, 1, "f_CLKIN"}, {1, 2, "f_CLKIN/2"}, {1, 3, "f_CLKIN/4"}, {-1, 0, ""},
};

// ADCON bits 2-0.
inline constexpr ValueEntry PgaGainTable[] = {
    {1, 0, "1"},  {1, 1, "2"},  {1, 2, "4"},  {1, 3, "8"},
    {1, 4, "16"}, {1, 5, "32"}, {1, 6, "64"}, {-1, 0, ""},
};

// ADCON bits 4-3.
inline constexpr ValueEntry SensorCurrentTable[] = {
    {1, 0, "Off"}, {1, 1, "0.5 uA"}, {1, 2, "2 uA"}, {1, 3, "10 uA"}, {-1, 0, ""},
};

// DRATE, the whole byte. The names are right-aligned with leading blanks,
// which belong to the names; no entry has code 0x00.
inline constexpr ValueEntry DataRateTable[] = {
    {1, 0x03, "     2.5 SPS"},
    {1, 0x13, "        5 SPS"},
    {1, 0x23, "      10 SPS"},
    {1, 0x33, "      15 SPS"},
    {1, 0x43, "      25 SPS"},
    {1, 0x53, "      30 SPS"},
    {1, 0x63, "      50 SPS"},
    {1, 0x72, "      60 SPS"},
    {1, 0x82, "    100 SPS"},
    {1, 0x92, "    500 SPS"},
    {1, 0xA1, "  1000 SPS"},
    {1, 0xB0, "  2000 SPS"},
    {1, 0xC0, "  3750 SPS"},
    {1, 0xD0, "  7500 SPS"},
    {1, 0xE0, "15000 SPS"},
    {1, 0xF0, "30000 SPS"},
    {-1, 0, ""},
};

namespace detail {

// The list shows the analysis's data-rate list, code for code.
constexpr bool sameDataRateCodes() {
    std::size_t k = 0;
    for (; DataRateTable[k].valid != -1; ++k) {
        if (k >= analysis::kDataRates.size() ||
            DataRateTable[k].code != analysis::kDataRates[k].code) {
            return false;
        }
    }
    return k == analysis::kDataRates.size();
}
static_assert(sameDataRateCodes(), "the data-rate list and the analysis's rates differ");

}  // namespace detail

}  // namespace orv
