// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

#include "link/frame.h"
#include "link/link.h"
#include "seams/clock.h"
#include "seams/prompts.h"

namespace orv {

// The command set, one function per sender: each frames its command for the
// detected EVM type, runs the exchange (send, then read the reply only when
// the send succeeded), compares the reply bytes that sender compares and
// shows that sender's own message. Messages belong to `owner`.

enum class Exchange { SendFailed, ReceiveFailed, Replied };

// Send `frame` with `waitMs`, then read the three reply bytes.
Exchange exchange(Link& link, const Frame& frame, int waitMs, Reply& reply);

// The exchange of a command without parameters: true when it is answered
// 00 00 <code>.
bool answeredPlainly(Link& link, const Frame& frame);

inline constexpr int kWriteWaitMs = 3000;
inline constexpr int kReadRegisterWaitMs = 6000;
inline constexpr int kCommandWaitMs = 3000;

// Register write from a register page: silent; true when confirmed.
bool WriteRegister(Link& link, std::uint8_t address, std::uint8_t value);

// Register write from the all-registers page: "Write register %02X fail !"
// when not confirmed.
bool WriteRegisterOrReport(Link& link, Prompts& prompts, PromptOwner owner, std::uint8_t address,
                           std::uint8_t value);

// A register read and how it went. Every reader applies it the same way: a
// good reply gives its value, a wrong one 0, a failed exchange leaves the byte.
struct RegisterRead {
    enum class Outcome { Good, Mismatch, Failed };
    Outcome outcome = Outcome::Failed;
    std::uint8_t value = 0;

    std::uint8_t appliedTo(std::uint8_t current) const {
        switch (outcome) {
            case Outcome::Good:
                return value;
            case Outcome::Mismatch:
                return 0;
            case Outcome::Failed:
                break;
        }
        return current;
    }
};

// Register read for the IO read-back and the calibration page: silent.
RegisterRead ReadRegister(Link& link, std::uint8_t address);

// Register read of the panel's Read: applies the outcome to `imageByte` and,
// unless the reply was good, shows "Read Register Address %02X Failed !".
bool ReadRegisterOrReport(Link& link, Prompts& prompts, PromptOwner owner, std::uint8_t address,
                          std::uint8_t& imageByte);

// Calibration page "Set": the reply is read when the send succeeded and not
// examined.
void SetCalibrationRegister(Link& link, std::uint8_t address, std::uint8_t value);

// Self calibration: only a failed send is reported ("Self calibration failed
// !"); the reply, read 200 ms later, is not reported on. What it was is
// returned for callers that must know (the window only asks whether the
// frame went out).
enum class SelfCalibration { NotSent, Answered, NotAnswered };
SelfCalibration SelfCalibrate(Link& link, Clock& clock, Prompts& prompts, PromptOwner owner);

// Self or system offset or gain calibration (codes 0x04 to 0x07), each with
// its own failure message. True when answered 00 00 <code>.
bool Calibrate(Link& link, Prompts& prompts, PromptOwner owner, Command calibration);

// Standby, power-down and wake-up. "Send command failed !" when not sent; an
// unreadable reply to standby shows an empty message box; the rest is silent.
// True when answered 00 00 <code>.
bool SendPowerCommand(Link& link, Prompts& prompts, PromptOwner owner, Command command);

// The data command for `count` results: "Send command failed !" when not sent.
int SendReadData(Link& link, Prompts& prompts, PromptOwner owner, int count);

// One four-byte result, the `index`-th (from 0): "Get item %d failed !".
int ReceiveItem(Link& link, Prompts& prompts, PromptOwner owner, int index,
                std::span<std::uint8_t, 4> item);

// The checksum pass over a whole block of items: the first bad item is
// reported ("The checksum of item %d is invalid !") and gives 13.
int CheckItems(Prompts& prompts, PromptOwner owner, std::span<const std::uint8_t> block);

// Index of the first item whose check byte is wrong, or -1.
int firstBadItem(std::span<const std::uint8_t> block);

}  // namespace orv
