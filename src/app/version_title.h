// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace orv {

// The running executable's file name without its extension, in UTF-8: the
// name the window title starts with.
std::string executableDisplayName();

}  // namespace orv
