// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/version_info.h"

namespace orv {

namespace {

constexpr std::string_view kStringFileInfo = "\\StringFileInfo\\";

std::uint16_t highWord(std::uint32_t value) {
    return static_cast<std::uint16_t>(value >> 16);
}

std::uint16_t lowWord(std::uint32_t value) {
    return static_cast<std::uint16_t>(value & 0xFFFF);
}

bool queryString(const VersionResource& resource, std::string_view path, VersionValue& value) {
    if (!path.starts_with(kStringFileInfo)) {
        return false;
    }
    path.remove_prefix(kStringFileInfo.size());
    const std::size_t separator = path.find('\\');
    if (separator == std::string_view::npos) {
        return false;
    }
    const std::string_view tableName = path.substr(0, separator);
    const std::string_view name = path.substr(separator + 1);
    for (const StringTable& table : resource.stringTables) {
        if (table.name != tableName) {
            continue;
        }
        for (const auto& [key, text] : table.strings) {
            if (key == name) {
                value = {text.c_str(), text.size()};
                return true;
            }
        }
    }
    return false;
}

// The string at `path`, or empty when the resource does not hold it.
std::string readString(const VersionResource& resource, const std::string& path) {
    VersionValue value;
    if (!QueryVersionValue(resource, path, value)) {
        return {};
    }
    return fitBuffer({static_cast<const char*>(value.data), value.size}, kTextBuffer);
}

}  // namespace

bool QueryVersionValue(const VersionResource& resource, std::string_view path,
                       VersionValue& value) {
    if (path == "\\") {
        value = {&resource.fixed, sizeof resource.fixed};
        return true;
    }
    if (path == "\\VarFileInfo\\Translation") {
        value = {resource.translations.data(), resource.translations.size() * sizeof(Translation)};
        return true;
    }
    return queryString(resource, path, value);
}

int ReadVersionInfo(const VersionResource* resource, VersionInfo& info, int missingError) {
    if (resource == nullptr) {
        return missingError;
    }
    VersionInfo read;
    VersionValue value;
    if (QueryVersionValue(*resource, "\\", value) && value.size >= sizeof(FixedVersion)) {
        const auto* fixed = static_cast<const FixedVersion*>(value.data);
        read.major = highWord(fixed->productVersionMS);
        read.minor = lowWord(fixed->productVersionMS);
        read.build = highWord(fixed->productVersionLS);
        read.revision = lowWord(fixed->productVersionLS);
    }
    if (QueryVersionValue(*resource, "\\VarFileInfo\\Translation", value) &&
        value.size >= sizeof(Translation)) {
        const Translation first = *static_cast<const Translation*>(value.data);
        const auto path = [&first](const char* name) {
            return printfText("\\StringFileInfo\\%04x%04x\\%s", unsigned{first.language},
                              unsigned{first.codePage}, name);
        };
        read.companyName = readString(*resource, path("CompanyName"));
        read.productVersion = readString(*resource, path("ProductVersion"));
    }
    info = std::move(read);
    return 0;
}

std::string windowTitle(const std::string& displayName, const VersionInfo& info) {
    return printfText("%s v%d.%d.%d.%d", displayName.c_str(), int{info.major}, int{info.minor},
                      int{info.build}, int{info.revision});
}

}  // namespace orv
