// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "link/frame.h"

namespace orv::sim {

// The ways the simulated EVM can misbehave, one at a time.
enum class FaultKind {
    None,
    NoAnswer,        // nothing at all, not even data items
    ShortReply,      // the answer loses its last byte (a reply has 2 of 3 bytes)
    LongReply,       // one extra byte after the answer
    WrongStatus,     // a three-byte reply with status 01
    WrongCheck,      // a three-byte reply whose check byte is one too high
    ExactReply,      // a three-byte reply replaced by `Fault::reply`
    FailingReset,    // the reset does nothing and answers 01 00 0A
    WrongHandshake,  // the handshake answers 00 00 F1
    BadChecksum,     // the data items at `Fault::items` carry a check byte one too high
    Slow,            // the answer starts `Fault::delay` after the frame
    SilentAfter,     // the data command sends `Fault::count` items, then nothing
    HangUpAfter,     // the data command sends `Fault::count` items, then hangs up;
                     // any other command hangs up instead of answering
};

// A fault and the frames it applies to. Without a restriction it applies to
// every frame its kind can affect: the reply faults (WrongStatus, WrongCheck,
// ExactReply) leave the data command alone, the item faults (BadChecksum,
// SilentAfter) touch only the data command. FailingReset and WrongHandshake
// are bound to their command whatever `command` says.
struct Fault {
    FaultKind kind = FaultKind::None;
    std::optional<Command> command{};       // only frames with this command code
    std::optional<std::uint8_t> address{};  // only register writes and reads of this address
    Reply reply{};                          // ExactReply
    std::vector<std::size_t> items{};       // BadChecksum: 0-based item indexes
    std::chrono::milliseconds delay{0};     // Slow
    std::size_t count = 0;                  // SilentAfter, HangUpAfter: items sent first

    // Whether a frame that passed its checksum falls under the restriction.
    bool appliesTo(const Frame& frame) const {
        const auto code = static_cast<Command>(frame[2]);
        if (kind == FaultKind::None) {
            return false;
        }
        if (kind == FaultKind::FailingReset) {
            return code == Command::Reset;
        }
        if (kind == FaultKind::WrongHandshake) {
            return code == Command::Handshake;
        }
        if (command && *command != code) {
            return false;
        }
        const bool registerCommand = code == Command::WriteReg || code == Command::ReadReg;
        return !address || (registerCommand && *address == frame[3]);
    }
};

}  // namespace orv::sim
