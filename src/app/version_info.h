// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "link/printf.h"

namespace orv {

// The version the program shows: the product version's four numbers and two
// of its strings, in UTF-8.
struct VersionInfo {
    std::uint16_t major = 0, minor = 0, build = 0, revision = 0;
    std::string companyName;
    std::string productVersion;
};

// The fixed part of a version resource: each version as two double words,
// the most significant holding major << 16 | minor, the least build << 16 |
// revision.
struct FixedVersion {
    std::uint32_t fileVersionMS = 0;
    std::uint32_t fileVersionLS = 0;
    std::uint32_t productVersionMS = 0;
    std::uint32_t productVersionLS = 0;
};

struct Translation {
    std::uint16_t language = 0;
    std::uint16_t codePage = 0;
};

// Strings of one language and code page, named by eight lower-case hex
// digits: language, then code page ("040904b0").
struct StringTable {
    std::string name;
    std::vector<std::pair<std::string, std::string>> strings;
};

// A version resource as the program embeds it where the system keeps none.
struct VersionResource {
    FixedVersion fixed;
    std::vector<Translation> translations;
    std::vector<StringTable> stringTables;
};

// One answer of QueryVersionValue: a FixedVersion, an array of Translation,
// or a NUL-terminated UTF-8 string; size in bytes, a string's without the NUL.
struct VersionValue {
    const void* data = nullptr;
    std::size_t size = 0;
};

// Answers "\\" (the FixedVersion), "\\VarFileInfo\\Translation" and
// "\\StringFileInfo\\<table>\\<name>", every part matched exactly. False for
// anything else, or a table or string the resource does not hold. The value
// points into the resource.
bool QueryVersionValue(const VersionResource& resource, std::string_view path, VersionValue& value);

// The system's code for a module without a version resource.
inline constexpr int kErrorResourceTypeNotFound = 1813;

// Reads the product version, then CompanyName and ProductVersion from the
// string table of the first translation. Without a resource, returns
// `missingError` and leaves `info` as it was; otherwise returns 0, with the
// strings left empty that the resource does not hold.
int ReadVersionInfo(const VersionResource* resource, VersionInfo& info,
                    int missingError = kErrorResourceTypeNotFound);

// The program's own resource, defined by the generated source (or, on
// Windows, read from the executable). Null when there is none, with the
// system's code in *error when error is given.
const VersionResource* ownVersionResource(int* error = nullptr);

// "<displayName> v<major>.<minor>.<build>.<revision>".
std::string windowTitle(const std::string& displayName, const VersionInfo& info);

}  // namespace orv
