#include "link/detect.h"

#include "link/commands.h"
#include "link/evm_table.h"
#include "link/printf.h"

namespace orv {

namespace {

bool answers(Link& link, const Frame& frame, Command expected) {
    Reply reply{};
    return exchange(link, frame, kCommandWaitMs, reply) == Exchange::Replied &&
           plainReplyOk(expected, reply);
}

}  // namespace

int DetectEvm(Link& link, Prompts& prompts, int typeCode) {
    link.setEvmType(-1);
    for (int n = 1; n <= link.portCount(); ++n) {
        if (!link.OpenPort(n)) {
            continue;
        }
        if (!answers(link, CommandFrame(typeCode, Command::Handshake), Command::Handshake)) {
            link.ClosePort();
            continue;
        }
        if (!answers(link, CommandFrame(typeCode, Command::Reset), Command::Reset)) {
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

}  // namespace orv
