#pragma once

#include <cstdint>
#include <optional>
#include <string>

class QWidget;

namespace orv {

// The window a prompt belongs to; nullptr for a prompt with no owner.
using PromptOwner = QWidget*;

enum class MessageIcon { None, Error };

// Everything the tool asks of or tells the user goes through this interface:
// the tool shows real dialogs, tests record each prompt and answer it from a
// script. Texts are UTF-8.
class Prompts {
public:
    virtual ~Prompts() = default;

    // A message box with an OK button; returns when the user has closed it.
    virtual void message(PromptOwner owner, const std::string& text, const std::string& caption,
                         MessageIcon icon = MessageIcon::None) = 0;

    // The colour chooser, starting at `initial`; colours are 0x00BBGGRR.
    // Empty when the user cancels.
    virtual std::optional<std::uint32_t> chooseColour(PromptOwner owner, std::uint32_t initial) = 0;
};

}  // namespace orv
