// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace orv {

// The candidate ports, in the order the detection tries them: on Windows
// COM1 to COM256; elsewhere the ports named on the command line, then the
// built-in simulator's port (if any), then the ports the system lists,
// sorted by name. At most 256.
std::vector<std::string> candidatePorts(const std::vector<std::string>& commandLinePorts,
                                        const std::string& simulatorPort);

}  // namespace orv
