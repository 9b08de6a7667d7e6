// SPDX-License-Identifier: GPL-3.0-or-later
#include "profile/ini_document.h"

#include "profile/ascii.h"

namespace orv {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

bool isLineBreak(char c) {
    return c == '\r' || c == '\n';
}

// One line of the text: [begin, end) is its content and [end, next) its line
// break, which only an unterminated last line lacks.
struct Line {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t next = 0;
};

Line lineAt(std::string_view text, std::size_t begin) {
    std::size_t end = text.find_first_of("\r\n", begin);
    if (end == kNone) {
        return {begin, text.size(), text.size()};
    }
    const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
    return {begin, end, end + (crlf ? 2 : 1)};
}

enum class LineKind { kOther, kSection, kKey };

struct LineMeaning {
    LineKind kind = LineKind::kOther;
    std::string_view name;
    std::string_view value;
};

LineMeaning meaningOf(std::string_view content) {
    const std::string_view body = trimBlanks(content);
    if (body.empty() || body.front() == ';') {
        return {};
    }
    if (body.front() == '[') {
        const std::size_t close = body.find(']');
        if (close == kNone) {
            return {};
        }
        return {LineKind::kSection, trimBlanks(body.substr(1, close - 1)), {}};
    }
    const std::size_t equals = body.find('=');
    if (equals == kNone) {
        return {};
    }
    return {LineKind::kKey, trimBlanks(body.substr(0, equals)),
            trimBlanks(body.substr(equals + 1))};
}

// Where a key is, or where it would go. `insertAt` is npos when the section
// is missing.
struct Lookup {
    std::optional<Line> keyLine;
    std::string_view keyName;
    std::string_view value;
    std::size_t insertAt = kNone;
};

Lookup lookUp(std::string_view text, std::string_view section, std::string_view key) {
    Lookup found;
    bool inSection = false;
    for (std::size_t position = 0; position < text.size();) {
        const Line line = lineAt(text, position);
        position = line.next;
        const LineMeaning meaning = meaningOf(text.substr(line.begin, line.end - line.begin));
        if (meaning.kind == LineKind::kSection) {
            if (inSection) {
                break;
            }
            inSection = equalsIgnoringCase(meaning.name, section);
            if (inSection) {
                found.insertAt = line.next;
            }
        } else if (inSection && meaning.kind == LineKind::kKey) {
            if (equalsIgnoringCase(meaning.name, key)) {
                found.keyLine = line;
                found.keyName = meaning.name;
                found.value = meaning.value;
                break;
            }
            found.insertAt = line.next;
        }
    }
    return found;
}

std::string_view withoutQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::string_view lineBreakOf(std::string_view text) {
    const std::size_t first = text.find_first_of("\r\n");
    if (first == kNone || text.substr(first, 2) == "\r\n") {
        return "\r\n";
    }
    return text[first] == '\r' ? "\r" : "\n";
}

}  // namespace

std::optional<std::string> IniDocument::value(std::string_view section,
                                              std::string_view key) const {
    const Lookup found = lookUp(text_, section, key);
    if (!found.keyLine) {
        return std::nullopt;
    }
    return std::string(withoutQuotes(found.value));
}

void IniDocument::setValue(std::string_view section, std::string_view key, std::string_view value) {
    const Lookup found = lookUp(text_, section, key);
    if (found.keyLine) {
        std::string line(found.keyName);
        line += '=';
        line += value;
        text_.replace(found.keyLine->begin, found.keyLine->end - found.keyLine->begin, line);
        return;
    }
    const std::string_view lineBreak = lineBreakOf(text_);
    const std::size_t at = found.insertAt == kNone ? text_.size() : found.insertAt;
    std::string added;
    if (at == text_.size() && !text_.empty() && !isLineBreak(text_.back())) {
        added += lineBreak;
    }
    if (found.insertAt == kNone) {
        added += '[';
        added += section;
        added += ']';
        added += lineBreak;
    }
    added += key;
    added += '=';
    added += value;
    added += lineBreak;
    text_.insert(at, added);
}

}  // namespace orv
