// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

#include "converter/registers.h"
#include "seams/prompts.h"

namespace orv {

class Link;

// The register sequences the panel and the command line share. Messages
// belong to `owner` and are the register commands' own.

// Reads the eleven registers in address order into `image`, each applied as
// a register read applies (see RegisterRead). Stops at the first register
// not read well, which is reported ("Read Register Address %02X Failed !");
// false then.
bool readRegisters(Link& link, Prompts& prompts, PromptOwner owner, RegisterImage& image);

// One register write: the register's address and the byte to write.
struct RegisterWrite {
    std::uint8_t address;
    std::uint8_t value;
};

// Writes in the order given, each reported when the EVM does not confirm it
// ("Write register %02X fail !"), and stops there. Returns how many were
// confirmed.
std::size_t writeRegisters(Link& link, Prompts& prompts, PromptOwner owner,
                           std::span<const RegisterWrite> writes);

}  // namespace orv
