// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/stream_prompts.h"

namespace orv::cli {

void StreamPrompts::message(PromptOwner, const std::string& text, const std::string&, MessageIcon) {
    if (!text.empty()) {
        writeLine(text);
    }
}

std::optional<std::uint32_t> StreamPrompts::chooseColour(PromptOwner, std::uint32_t) {
    return std::nullopt;
}

std::optional<std::string> StreamPrompts::chooseFile(PromptOwner, const FileRequest&) {
    return std::nullopt;
}

void StreamPrompts::note(const std::string& text) {
    writeLine("orvellin-cli: " + text);
}

void StreamPrompts::writeLine(const std::string& line) {
    if (beforeLine_) {
        beforeLine_();
    }
    err_ << line << '\n' << std::flush;
    shown_.push_back(line);
}

}  // namespace orv::cli
