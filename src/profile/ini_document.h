// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orv {

// A file in the layout of a Windows initialisation file, read and written by
// the Windows private-profile functions' rules:
// - a line whose first non-blank character is ';' is a comment;
// - `[name]` starts a section (text after the first ']' is ignored; a '['
//   line without ']' is neither a section nor a key);
// - inside a section, a line with '=' is a key: the name before the first
//   '=', the value after it;
// - names and values are trimmed of blanks, names match without regard to
//   ASCII case, and a value enclosed in a matching pair of single or double
//   quotation marks is read without them;
// - the first section of a name is the section, for reading and writing,
//   and the first key of a name in it is the key;
// - lines end in CR LF, LF or a lone CR; key lines before the first section
//   belong to no section.
// Any byte is allowed anywhere; the text is kept as it came, and writing
// changes only the line of the key it writes or adds lines of its own.
class IniDocument {
public:
    IniDocument() = default;
    explicit IniDocument(std::string_view text) : text_(text) {}

    // The value of `key` in `section`; empty when the section or the key is
    // missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // An existing key's line becomes `<key as spelled in the file>=<value>`,
    // keeping its line break. A new key goes after the last key line of its
    // section (after the section line when it has none); a new section goes
    // at the end, with a line break first when the text does not end with
    // one. New lines end with the text's first line break, CR LF when it has
    // none. The names are non-empty and hold no line break, the section no
    // ']', the key no '='; the value holds no line break and no surrounding
    // blanks or quotation marks, or it will not read back as given.
    void setValue(std::string_view section, std::string_view key, std::string_view value);

    const std::string& text() const { return text_; }

private:
    std::string text_;
};

}  // namespace orv
