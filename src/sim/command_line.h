// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string>

#include "sim/evm_model.h"
#include "sim/reaction.h"

namespace orv::sim {

// What the simulator executable was asked for.
struct SimOptions {
    EvmConfig evm{};
    Wire wire = Wire::Instant;
    bool help = false;
};

// Parses the arguments after the program name. Throws std::invalid_argument
// with a message that names the offending argument.
SimOptions parseCommandLine(std::span<const std::string> args);

// The --help text: every option and every fault.
std::string usageText();

}  // namespace orv::sim
