// SPDX-License-Identifier: GPL-3.0-or-later
#include "converter/register_io.h"

#include "link/commands.h"

namespace orv {

bool readRegisters(Link& link, Prompts& prompts, PromptOwner owner, RegisterImage& image) {
    for (std::uint8_t a = 0; a < kRegisterCount; ++a) {
        if (!ReadRegisterOrReport(link, prompts, owner, a, image[a])) {
            return false;
        }
    }
    return true;
}

std::size_t writeRegisters(Link& link, Prompts& prompts, PromptOwner owner,
                           std::span<const RegisterWrite> writes) {
    std::size_t confirmed = 0;
    for (const RegisterWrite& write : writes) {
        if (!WriteRegisterOrReport(link, prompts, owner, write.address, write.value)) {
            break;
        }
        ++confirmed;
    }
    return confirmed;
}

}  // namespace orv
