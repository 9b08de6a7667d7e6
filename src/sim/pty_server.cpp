// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <system_error>

#include "sim/outbox.h"

namespace orv::sim {

namespace {

using SteadyClock = std::chrono::steady_clock;

// Before hanging up, the server waits until the client has read everything
// (the terminal's input queue is empty), looking this often, and gives up
// waiting for a client that stopped reading after this long.
constexpr std::chrono::milliseconds kDrainPoll{10};
constexpr std::chrono::milliseconds kDrainLimit{1000};

[[noreturn]] void fail(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

void closeFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

// Descriptors must not leak into child processes: a child holding the master
// open would keep the client from ever seeing the hang-up.
void keepFromChildren(int fd) {
    if (::fcntl(fd, F_SETFD, FD_CLOEXEC) != 0) {
        fail("fcntl");
    }
}

void makeRaw(int fd) {
    termios mode{};
    if (::tcgetattr(fd, &mode) != 0) {
        fail("tcgetattr");
    }
    mode.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR |
                                           ICRNL | IXON | IXOFF);
    mode.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    mode.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    mode.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB);
    mode.c_cflag |= CS8 | CREAD | CLOCAL;
    mode.c_cc[VMIN] = 1;
    mode.c_cc[VTIME] = 0;
    cfsetispeed(&mode, B115200);
    cfsetospeed(&mode, B115200);
    if (::tcsetattr(fd, TCSANOW, &mode) != 0) {
        fail("tcsetattr");
    }
}

int pollTimeout(SteadyClock::time_point now, SteadyClock::time_point when) {
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(when - now).count();
    return static_cast<int>(std::clamp<long long>(wait, 0, INT_MAX));
}

}  // namespace

PtyServer::PtyServer(EvmConfig config, Wire wire) : model_(std::move(config)), wire_(wire) {}

bool PtyServer::start(std::function<void()> onStopped) {
    if (thread_.joinable() || master_ >= 0) {
        return false;
    }
    try {
        openTerminal();
    } catch (const std::system_error& failure) {
        error_ = failure.what();
        closeAll();
        return false;
    }
    onStopped_ = std::move(onStopped);
    serving_ = true;
    thread_ = std::thread([this] { serve(); });
    return true;
}

PtyServer::~PtyServer() {
    stop();
}

// Throws std::system_error at the first step that fails.
void PtyServer::openTerminal() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) {
        fail("posix_openpt");
    }
    keepFromChildren(master_);
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        fail("grantpt/unlockpt");
    }
    const char* name = ::ptsname(master_);
    if (name == nullptr) {
        fail("ptsname");
    }
    path_ = name;
    if (::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK) != 0) {
        fail("fcntl");
    }
    slave_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY);
    if (slave_ < 0) {
        fail("open");
    }
    keepFromChildren(slave_);
    makeRaw(slave_);
    std::array<int, 2> wake{};
    if (::pipe(wake.data()) != 0) {
        fail("pipe");
    }
    wakeRead_ = wake[0];
    wakeWrite_ = wake[1];
    keepFromChildren(wakeRead_);
    keepFromChildren(wakeWrite_);
}

void PtyServer::stop() {
    if (thread_.joinable()) {
        const std::uint8_t wake = 1;
        while (::write(wakeWrite_, &wake, 1) < 0 && errno == EINTR) {
        }
        thread_.join();
    }
    serving_ = false;
    closeAll();
}

// One loop turn: hand the terminal what is due, hang up if that is due, then
// sleep in poll() until input arrives, the next byte is due, the terminal can
// take more, or stop() wakes the thread.
void PtyServer::serve() {
    Outbox outbox(wire_);
    std::array<std::uint8_t, 512> input{};
    auto lastWrite = SteadyClock::now();
    while (true) {
        auto now = SteadyClock::now();
        bool full = false;
        for (auto due = outbox.due(now); !due.empty(); due = outbox.due(now)) {
            const auto written = ::write(master_, due.data(), due.size());
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                full = true;
                break;
            }
            outbox.take(static_cast<std::size_t>(written));
            lastWrite = now;
        }
        int timeout = -1;
        if (outbox.hangUpDue(now)) {
            int unread = 0;
            const bool drained = ::ioctl(slave_, FIONREAD, &unread) == 0 && unread == 0;
            if ((drained && now - lastWrite >= kDrainPoll) || now - lastWrite >= kDrainLimit) {
                break;
            }
            timeout = static_cast<int>(kDrainPoll.count());
        } else if (const auto next = outbox.nextDue(); next && !full) {
            timeout = pollTimeout(now, *next);
        }
        std::array<pollfd, 2> fds{{{master_, static_cast<short>(POLLIN | (full ? POLLOUT : 0)), 0},
                                   {wakeRead_, POLLIN, 0}}};
        if (::poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) {
            break;
        }
        if (fds[1].revents != 0) {
            return;
        }
        // The server's own client-side descriptor keeps the master from ever
        // seeing a hang-up; if it does anyway, serving on would only spin.
        if ((fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            break;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            const auto count = ::read(master_, input.data(), input.size());
            if (count < 0 && errno != EAGAIN && errno != EINTR) {
                break;
            }
            if (count > 0) {
                // Timed from the frame's arrival, not from when the model has
                // built a long block.
                const auto arrived = SteadyClock::now();
                const auto bytes = std::span(input).first(static_cast<std::size_t>(count));
                outbox.post(arrived, model_.receive(bytes));
            }
        }
    }
    closeFd(master_);
    closeFd(slave_);
    serving_ = false;
    if (onStopped_) {
        onStopped_();
    }
}

void PtyServer::closeAll() {
    closeFd(master_);
    closeFd(slave_);
    closeFd(wakeRead_);
    closeFd(wakeWrite_);
}

}  // namespace orv::sim
