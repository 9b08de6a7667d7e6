// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/detect.h"

#include "link/commands.h"
#include "link/evm_table.h"
#include "link/printf.h"

namespace orv {

namespace {

int scanPorts(Link& link, Prompts& prompts, int typeCode, bool reset) {
    link.setEvmType(-1);
    link.refreshPorts();
    for (int n = 1; n <= link.portCount(); ++n) {
        if (!link.OpenPort(n)) {
            continue;
        }
        if (!answeredPlainly(link, CommandFrame(typeCode, Command::Handshake))) {
            link.ClosePort();
            continue;
        }
        if (reset && !answeredPlainly(link, CommandFrame(typeCode, Command::Reset))) {
            prompts.message(nullptr, "Reset EVM failed !", "Error");
            link.ClosePort();
            continue;
        }
        link.setEvmType(typeCode);
        return n;
    }
    if (const EvmTypeEntry* entry = findEvmType(typeCode)) {
        prompts.message(nullptr, printfText("Can't find %s !", entry->name), "Error");
    }
    return -1;
}

}  // namespace

int DetectEvm(Link& link, Prompts& prompts, int typeCode) {
    return scanPorts(link, prompts, typeCode, true);
}

int FindEvm(Link& link, Prompts& prompts, int typeCode) {
    return scanPorts(link, prompts, typeCode, false);
}

}  // namespace orv
