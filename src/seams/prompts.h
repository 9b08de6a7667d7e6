// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace orv {

// The window a prompt belongs to; nullptr for a prompt with no owner.
using PromptOwner = QWidget*;

enum class MessageIcon { None, Error };

// One entry of a file dialog's type list: "Normal text file(*.txt)" with
// "*.txt".
struct FileFilter {
    std::string description;
    std::string pattern;
};

// A file dialog: the save dialog or the open dialog, starting at
// `initialPath` (a file name, with or without its folder). A name typed
// without an extension gets `defaultExtension`; with `confirmOverwrite` the
// save dialog asks before it returns an existing file.
struct FileRequest {
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    std::string initialPath;
    std::vector<FileFilter> filters;
    std::string defaultExtension;
    bool confirmOverwrite = false;
};

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

    // The full path the user chose, with the platform's separators. Empty
    // when the user cancels.
    virtual std::optional<std::string> chooseFile(PromptOwner owner,
                                                  const FileRequest& request) = 0;
};

}  // namespace orv
