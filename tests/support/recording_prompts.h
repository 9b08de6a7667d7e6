#pragma once

#include <functional>
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

// Records every prompt instead of showing it. `whileOpen` runs for each
// message as if the user acted while the box was open.
class RecordingPrompts final : public Prompts {
public:
    void message(PromptOwner owner, const std::string& text, const std::string& caption,
                 MessageIcon icon) override {
        messages.push_back({text, caption, owner, icon});
        if (whileOpen) {
            whileOpen(messages.back());
        }
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
};

}  // namespace orv::test
