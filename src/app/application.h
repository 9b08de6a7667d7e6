// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

class QApplication;
class QCoreApplication;

namespace orv {

// What the command line asks for.
struct AppOptions {
    std::vector<std::string> ports;  // --port NAME, tried first, in order
    bool simulate = false;           // --simulate: serve a simulated EVM and try it next
};

// Parses the command line; exits the process for --help and for errors.
AppOptions parseCommandLine(QCoreApplication& application);

// Starts the tool: builds the link on the candidate ports (with the
// simulator's port when asked), runs the main window modally and returns
// when it has closed.
class COrvellinApp {
public:
    int InitInstance(QApplication& application);
};

}  // namespace orv
