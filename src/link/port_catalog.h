// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace orv {

enum class Platform { Windows, Other };

#ifdef _WIN32
inline constexpr Platform kHostPlatform = Platform::Windows;
#else
inline constexpr Platform kHostPlatform = Platform::Other;
#endif

// The candidate ports of one scan, in the order it tries them: the ports
// named on the command line, in their order, then the built-in simulator's
// port (if any), then the system's ports: on Windows COM1 to COM256, whether
// they exist or not; elsewhere `listedPorts`, sorted by name. A port that
// appears twice, also spelled differently ("ttyUSB0" and "/dev/ttyUSB0",
// "com3" and "COM3"), is tried once, where it first appears. At most 256: the
// end of the system's part gives way.
std::vector<std::string> candidatePorts(Platform platform,
                                        const std::vector<std::string>& commandLinePorts,
                                        const std::string& simulatorPort,
                                        const std::vector<std::string>& listedPorts);

// The serial ports the system lists at this moment, as device paths.
std::vector<std::string> systemSerialPorts();

}  // namespace orv
