// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <string>

#include "sim_helpers.h"

namespace orv::test {

// A plain POSIX client of a pseudo-terminal, in raw mode, as a serial port
// user would be.
class PtyClient {
public:
    explicit PtyClient(const std::string& path)
        : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {
        termios mode{};
        if (fd_ >= 0 && ::tcgetattr(fd_, &mode) == 0) {
            cfmakeraw(&mode);
            ::tcsetattr(fd_, TCSANOW, &mode);
        }
    }
    ~PtyClient() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    bool isOpen() const { return fd_ >= 0; }

    bool write(const Bytes& bytes) {
        return ::write(fd_, bytes.data(), bytes.size()) == ssize_t(bytes.size());
    }

    struct Got {
        Bytes bytes;
        bool failed = false;  // the terminal hung up or failed
    };

    // Waits until `count` bytes have come, `within` has passed or the
    // terminal fails.
    Got read(std::size_t count, std::chrono::milliseconds within) {
        using Steady = std::chrono::steady_clock;
        const auto deadline = Steady::now() + within;
        Got got;
        while (got.bytes.size() < count) {
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(deadline - Steady::now());
            if (left.count() <= 0) {
                break;
            }
            pollfd watch{fd_, POLLIN, 0};
            if (::poll(&watch, 1, int(left.count())) <= 0) {
                continue;
            }
            std::uint8_t buffer[4096];
            const std::size_t want = std::min(sizeof buffer, count - got.bytes.size());
            const ssize_t n = ::read(fd_, buffer, want);
            if (n > 0) {
                got.bytes.insert(got.bytes.end(), buffer, buffer + n);
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                got.failed = true;
                break;
            }
        }
        return got;
    }

private:
    int fd_;
};

}  // namespace orv::test
