// SPDX-License-Identifier: GPL-3.0-or-later
// The program's own version resource on Windows: the VERSIONINFO compiled
// into the executable, copied into the embedded form so that ReadVersionInfo
// reads it as it reads any other.
#ifdef _WIN32

#include <windows.h>

#include <vector>

#include "app/version_info.h"
#include "link/printf.h"

namespace orv {

namespace {

// The strings ReadVersionInfo asks for; the version API cannot list a
// table's names.
constexpr const char* kNames[] = {"CompanyName", "ProductVersion"};

std::wstring widen(const std::string& text) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? static_cast<std::size_t>(length) : 1, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), length);
    wide.resize(wide.size() - 1);
    return wide;
}

std::string narrow(const wchar_t* text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(length > 0 ? static_cast<std::size_t>(length) : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), length, nullptr, nullptr);
    utf8.resize(utf8.size() - 1);
    return utf8;
}

VersionResource copyResource(void* block) {
    VersionResource resource;
    void* value = nullptr;
    UINT size = 0;
    if (VerQueryValueW(block, L"\\", &value, &size) && size >= sizeof(VS_FIXEDFILEINFO)) {
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
        resource.fixed = {fixed->dwFileVersionMS, fixed->dwFileVersionLS, fixed->dwProductVersionMS,
                          fixed->dwProductVersionLS};
    }
    if (VerQueryValueW(block, L"\\VarFileInfo\\Translation", &value, &size)) {
        const auto* pairs = static_cast<const WORD*>(value);
        for (UINT i = 0; i + 1 < size / sizeof(WORD); i += 2) {
            resource.translations.push_back({pairs[i], pairs[i + 1]});
        }
    }
    for (const Translation& translation : resource.translations) {
        StringTable table{
            printfText("%04x%04x", unsigned{translation.language}, unsigned{translation.codePage}),
            {}};
        for (const char* name : kNames) {
            const std::string path =
                printfText("\\StringFileInfo\\%s\\%s", table.name.c_str(), name);
            if (VerQueryValueW(block, widen(path).c_str(), &value, &size) && size > 0) {
                table.strings.emplace_back(name, narrow(static_cast<const wchar_t*>(value)));
            }
        }
        resource.stringTables.push_back(std::move(table));
    }
    return resource;
}

struct OwnResource {
    VersionResource resource;
    int error = 0;
};

OwnResource loadOwnResource() {
    OwnResource own;
    // RT_VERSION, spelled wide whatever UNICODE says.
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16));
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const void* locked = loaded ? LockResource(loaded) : nullptr;
    if (locked == nullptr) {
        own.error = static_cast<int>(GetLastError());
        if (own.error == 0) {
            own.error = kErrorResourceTypeNotFound;
        }
        return own;
    }
    // The version API may write into the block: it gets a copy.
    const auto* bytes = static_cast<const char*>(locked);
    std::vector<char> block(bytes, bytes + SizeofResource(nullptr, found));
    own.resource = copyResource(block.data());
    return own;
}

}  // namespace

const VersionResource* ownVersionResource(int* error) {
    static const OwnResource own = loadOwnResource();
    if (own.error != 0) {
        if (error != nullptr) {
            *error = own.error;
        }
        return nullptr;
    }
    return &own.resource;
}

}  // namespace orv

#endif  // _WIN32
