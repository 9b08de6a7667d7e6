// SPDX-License-Identifier: GPL-3.0-or-later
#include "profile/profile.h"

#include "profile/ascii.h"
#include "profile/ini_document.h"
#include "profile/register_value.h"

namespace orv {

namespace {

constexpr std::string_view kEvmSection = "EVM";
constexpr std::string_view kTargetKey = "Target";
constexpr std::string_view kRegisterSection = "REG";

std::string hexByte(std::uint8_t value) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    return {'0', 'x', kDigits[value >> 4], kDigits[value & 0x0F]};
}

}  // namespace

std::optional<ProfileRegisters> readProfile(std::string_view fileText) {
    const IniDocument document(fileText);
    const std::optional<std::string> target = document.value(kEvmSection, kTargetKey);
    if (!target || !equalsIgnoringCase(*target, kProfileTarget)) {
        return std::nullopt;
    }
    ProfileRegisters registers{};
    for (std::size_t k = 0; k < kProfileKeys.size(); ++k) {
        const std::optional<std::string> value = document.value(kRegisterSection, kProfileKeys[k]);
        if (value) {
            const std::string_view held = std::string_view(*value).substr(0, kProfileValueChars);
            registers[k] = static_cast<std::uint8_t>(parseRegisterValue(held) & 0xFF);
        }
    }
    return registers;
}

std::string writeProfile(std::string_view existing, const ProfileRegisters& registers) {
    IniDocument document(existing);
    document.setValue(kEvmSection, kTargetKey, kProfileTarget);
    for (std::size_t k = 0; k < kProfileKeys.size(); ++k) {
        document.setValue(kRegisterSection, kProfileKeys[k], hexByte(registers[k]));
    }
    return document.text();
}

}  // namespace orv
