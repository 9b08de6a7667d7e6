// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "seams/prompts.h"

namespace orv {

// Shows every prompt as a real dialog.
class QtPrompts final : public Prompts {
public:
    void message(PromptOwner owner, const std::string& text, const std::string& caption,
                 MessageIcon icon) override;
    std::optional<std::uint32_t> chooseColour(PromptOwner owner, std::uint32_t initial) override;
    std::optional<std::string> chooseFile(PromptOwner owner, const FileRequest& request) override;
};

}  // namespace orv
