// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated EVM on a pseudo-terminal, for tests and manual trials that
// need a real serial device path.

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "sim/command_line.h"
#include "sim/pty_server.h"

namespace {

// Written by the signal handler and by the server thread when it stops by
// itself; the main thread sleeps on the other end.
int stopPipe[2] = {-1, -1};

void wakeMain() {
    const char byte = 1;
    const auto ignored = ::write(stopPipe[1], &byte, 1);
    static_cast<void>(ignored);
}

extern "C" void onSignal(int) {
    const int saved = errno;
    wakeMain();
    errno = saved;
}

void handleStopSignals() {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

void waitForStop() {
    char byte = 0;
    while (::read(stopPipe[0], &byte, 1) < 0 && errno == EINTR) {
    }
}

}  // namespace

int main(int argc, char** argv) {
    orv::sim::SimOptions options;
    try {
        const std::vector<std::string> args(argv + 1, argv + argc);
        options = orv::sim::parseCommandLine(args);
    } catch (const std::invalid_argument& error) {
        std::cerr << "orvellin-evm-sim: " << error.what() << '\n';
        return 2;
    }
    if (options.help) {
        std::cout << orv::sim::usageText();
        return 0;
    }
    if (::pipe(stopPipe) != 0) {
        std::perror("orvellin-evm-sim: pipe");
        return 1;
    }
    handleStopSignals();
    orv::sim::PtyServer server(options.evm, options.wire);
    if (!server.start(wakeMain)) {
        std::cerr << "orvellin-evm-sim: " << server.error() << '\n';
        return 1;
    }
    std::cout << server.path() << std::endl;
    waitForStop();
    return 0;
}
