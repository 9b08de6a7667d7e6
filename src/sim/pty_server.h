// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "sim/evm_model.h"
#include "sim/reaction.h"

namespace orv::sim {

// Serves one simulated EVM on a new pseudo-terminal from a background thread,
// in real time. Clients open path(); the terminal is raw, and the server keeps
// a client-side descriptor of its own open, so a client closing and reopening
// the port is no hang-up for the server.
//
// Delays and pacing run on the steady clock; paced bytes are released on a
// schedule computed from the reaction's start, several at a time when due.
// A hang-up of the model closes the terminal once the client has read the
// bytes before it, or has left them unread for a second (closing throws away
// what is unread); the client's reads then fail, and the serving ends.
class PtyServer {
public:
    explicit PtyServer(EvmConfig config = {}, Wire wire = Wire::Instant);
    ~PtyServer();

    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // Sets up the terminal and starts serving; false, with error() telling why,
    // when no pseudo-terminal can be had. When the serving ends by itself (a
    // hang-up, or the terminal failing), `onStopped` runs on the server thread.
    bool start(std::function<void()> onStopped = {});

    const std::string& path() const { return path_; }
    const std::string& error() const { return error_; }
    bool serving() const { return serving_; }

    // Ends the serving and closes the terminal; waits for the server thread.
    void stop();

private:
    void openTerminal();
    void serve();
    void closeAll();

    EvmModel model_;  // the server thread's alone while it serves
    Wire wire_;
    std::function<void()> onStopped_;
    int master_ = -1;
    int slave_ = -1;
    int wakeRead_ = -1;  // a byte on this pipe tells the server thread to stop
    int wakeWrite_ = -1;
    std::string path_;
    std::string error_;
    std::atomic<bool> serving_{false};
    std::thread thread_;
};

}  // namespace orv::sim
