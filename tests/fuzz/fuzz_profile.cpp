// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a profile file: reading must not fail, and writing a profile
// into them must keep the rules the readers rely on. A broken rule aborts.

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "profile/ini_document.h"
#include "profile/profile.h"
#include "profile/register_value.h"

namespace {

void require(bool holds, const char* rule) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", rule);
        std::abort();
    }
}

// The registers to write, taken from the input so they vary with it.
orv::ProfileRegisters registersFrom(std::string_view input) {
    orv::ProfileRegisters registers{};
    for (std::size_t k = 0; k < registers.size() && k < input.size(); ++k) {
        registers[k] = static_cast<std::uint8_t>(input[input.size() - 1 - k]);
    }
    return registers;
}

std::string_view lineBreakOf(std::string_view text) {
    const std::size_t first = text.find_first_of("\r\n");
    if (first == std::string_view::npos || text.substr(first, 2) == "\r\n") {
        return "\r\n";
    }
    return text.substr(first, 1);
}

// Text without any '[' has no section: a profile written into it is the text
// itself, a line break when it lacks a final one, then a new file's lines in
// the text's own line ending.
std::string expectedWithoutSections(std::string_view input,
                                    const orv::ProfileRegisters& registers) {
    const std::string_view lineBreak = lineBreakOf(input);
    std::string expected(input);
    if (!expected.empty() && expected.back() != '\r' && expected.back() != '\n') {
        expected += lineBreak;
    }
    const std::string fresh = orv::writeProfile("", registers);
    for (std::size_t k = 0; k < fresh.size(); ++k) {
        if (fresh.compare(k, 2, "\r\n") == 0) {
            expected += lineBreak;
            ++k;
        } else {
            expected += fresh[k];
        }
    }
    return expected;
}

// The C library's own reading, narrowed to a 32-bit unsigned long: a
// magnitude beyond 32 bits saturates, whatever the sign.
std::uint32_t strtoulReading(std::string_view text) {
    const std::string terminated(text);
    const char* start = terminated.c_str();
    while (*start == ' ' || (*start >= '\t' && *start <= '\r')) {
        ++start;
    }
    errno = 0;
    const unsigned long long value = std::strtoull(start, nullptr, 16);
    const unsigned long long magnitude = *start == '-' ? 0 - value : value;
    if (errno == ERANGE || magnitude > 0xFFFFFFFFu) {
        return 0xFFFFFFFFu;
    }
    return static_cast<std::uint32_t>(value);
}

void requireStrtoulReading(std::string_view text) {
    require(orv::parseRegisterValue(text) == strtoulReading(text),
            "a register value reads as strtoul reads it");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    const orv::IniDocument document(input);
    require(document.text() == input, "an unchanged document is its input");
    for (const std::string_view key : {"Target", "MUX", "DRAT", ""}) {
        for (const std::string_view section : {"EVM", "REG"}) {
            if (const std::optional<std::string> value = document.value(section, key)) {
                require(value->find_first_of("\r\n") == std::string::npos, "a value is one line");
                requireStrtoulReading(*value);
            }
        }
    }
    requireStrtoulReading(input);
    (void)orv::readProfile(input);

    const orv::ProfileRegisters registers = registersFrom(input);
    const std::string written = orv::writeProfile(input, registers);
    require(orv::readProfile(written) == registers, "a written profile reads back");
    require(orv::writeProfile(written, registers) == written, "writing twice changes nothing");
    if (input.find('[') == std::string_view::npos) {
        require(written == expectedWithoutSections(input, registers),
                "a file without sections gains the new lines at its end only");
    }

    orv::IniDocument edited(input);
    edited.setValue("Fuzz Section", "Some Key", "some value");
    require(orv::IniDocument(edited.text()).value("fuzz section", "some key") == "some value",
            "a set value reads back");
    return 0;
}
