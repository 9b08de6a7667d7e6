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

struct RecordedColourChoice {
    PromptOwner owner = nullptr;
    std::uint32_t initial = 0;
};

// Records every prompt instead of showing it. `whileOpen` runs for each
// message as if the user acted while the box was open. Colour choices are
// answered from `colourAnswers` in order, then cancelled.
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
};

}  // namespace orv::test
