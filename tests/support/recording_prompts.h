// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "seams/prompts.h"

namespace orv::test {

struct RecordedMessage {
    std::string text;
    std::string caption;
    PromptOwner owner = nullptr;
    MessageIcon icon = MessageIcon::None;
};

struct RecordedFileChoice {
    PromptOwner owner = nullptr;
    FileRequest request;
};

struct RecordedColourChoice {
    PromptOwner owner = nullptr;
    std::uint32_t initial = 0;
};

// Records every prompt instead of showing it. `whileOpen` runs for each
// message as if the user acted while the box was open. Colour and file
// choices are answered from `colourAnswers` and `fileAnswers` in order, then
// cancelled.
class RecordingPrompts final : public Prompts {
public:
    void message(PromptOwner owner, const std::string& text, const std::string& caption,
                 MessageIcon icon) override {
        messages.push_back({text, caption, owner, icon});
        if (whileOpen) {
            whileOpen(messages.back());
        }
    }

    std::optional<std::uint32_t> chooseColour(PromptOwner owner, std::uint32_t initial) override {
        colourChoices.push_back({owner, initial});
        if (colourAnswers.empty()) {
            return std::nullopt;
        }
        const auto answer = colourAnswers.front();
        colourAnswers.pop_front();
        return answer;
    }

    std::optional<std::string> chooseFile(PromptOwner owner, const FileRequest& request) override {
        fileChoices.push_back({owner, request});
        if (fileAnswers.empty()) {
            return std::nullopt;
        }
        auto answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer;
    }

    std::vector<std::string> texts() const {
        std::vector<std::string> result;
        for (const auto& message : messages) {
            result.push_back(message.text);
        }
        return result;
    }

    std::vector<RecordedMessage> messages;
    std::function<void(const RecordedMessage&)> whileOpen;
    std::vector<RecordedColourChoice> colourChoices;
    std::deque<std::optional<std::uint32_t>> colourAnswers;
    std::vector<RecordedFileChoice> fileChoices;
    std::deque<std::optional<std::string>> fileAnswers;
};

}  // namespace orv::test
