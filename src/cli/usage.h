// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace orv::cli {

// The --help text: the synopsis, every command, the JSON documents and the
// exit codes.
std::string usageText();

// The --version line: "orvellin-cli 1.1.0.3".
std::string versionText();

}  // namespace orv::cli
