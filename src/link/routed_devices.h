// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "link/serial_device.h"

namespace orv {

// Devices that open the port named `special` through `specialDevices` and
// every other port through `otherDevices`: the link makes a device before
// it knows the name it will open, so the device picks its side at open().
SerialDeviceFactory routedDevices(std::string special, SerialDeviceFactory specialDevices,
                                  SerialDeviceFactory otherDevices);

}  // namespace orv
