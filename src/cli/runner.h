// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "cli/environment.h"

namespace orv::cli {

// Runs the command line `args` (without the program's name) and returns the
// exit code (session.h, exit_code). Every argument is checked before any
// port is listed or opened, so a bad command line sends nothing.
//
// Standard output gets the command's result: a readable table, or with
// --json exactly one JSON document, also for a failure, when it is
// {"error": {"exit_code": N, "messages": [every line shown on the error
// stream]}} or the command's document with that "error" member added.
// --help and --version print their text and return 0.
int runCommandLine(const std::vector<std::string>& args, CliEnvironment& environment);

}  // namespace orv::cli
