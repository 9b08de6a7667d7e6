// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "seams/prompts.h"

namespace orv::cli {

// The messages of the EVM's commands, as a program without windows shows
// them: each text on a line of its own on the error stream, exactly as the
// window's message box shows it. An empty text (a box with nothing in it)
// shows nothing. Nobody is asked anything: colour and file choices are
// cancelled. Every text shown is kept, for the JSON error document.
class StreamPrompts final : public Prompts {
public:
    explicit StreamPrompts(std::ostream& err) : err_(err) {}

    void message(PromptOwner owner, const std::string& text, const std::string& caption,
                 MessageIcon icon = MessageIcon::None) override;
    std::optional<std::uint32_t> chooseColour(PromptOwner owner, std::uint32_t initial) override;
    std::optional<std::string> chooseFile(PromptOwner owner, const FileRequest& request) override;

    // The program's own notes, prefixed with its name: "orvellin-cli: ...".
    void note(const std::string& text);

    // Runs before each line is written: the progress bar clears its line.
    void setBeforeLine(std::function<void()> beforeLine) { beforeLine_ = std::move(beforeLine); }

    const std::vector<std::string>& shown() const { return shown_; }

private:
    void writeLine(const std::string& line);

    std::ostream& err_;
    std::function<void()> beforeLine_;
    std::vector<std::string> shown_;
};

}  // namespace orv::cli
