// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

namespace orv {

// The values the settings' drop-down lists offer: the converter's gains
// and its sixteen data rates in conversions per second (the DRATE codes'
// list; a rate outside it can still be shown, see SettingsBox).
inline constexpr std::array<int, 7> kGains{1, 2, 4, 8, 16, 32, 64};
inline constexpr std::array<double, 16> kDataRates{2.5, 5,   10,   15,   25,   30,   50,    60,
                                                   100, 500, 1000, 2000, 3750, 7500, 15000, 30000};

}  // namespace orv
