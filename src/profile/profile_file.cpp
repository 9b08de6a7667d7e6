// SPDX-License-Identifier: GPL-3.0-or-later
#include "profile/profile_file.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace orv {

namespace fs = std::filesystem;

namespace {

// Through a u8string, so that Windows gets the wide path the UTF-8 names.
fs::path fromUtf8(const std::string& path) {
    return fs::path(std::u8string(path.begin(), path.end()));
}

// At most `limit` bytes of the regular file at `path`.
std::optional<std::string> readPrefix(const fs::path& path, std::size_t limit) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes(limit, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(limit));
    if (in.bad()) {
        return std::nullopt;
    }
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

// The file a chain of symbolic links ends at, which need not exist; empty
// for a loop or a link that cannot be read.
std::optional<fs::path> followLinks(fs::path path) {
    constexpr int kMaxLinks = 40;
    for (int links = 0; links <= kMaxLinks; ++links) {
        std::error_code error;
        const fs::file_status status = fs::symlink_status(path, error);
        if (status.type() == fs::file_type::none) {
            return std::nullopt;
        }
        if (status.type() != fs::file_type::symlink) {
            return path;
        }
        const fs::path target = fs::read_symlink(path, error);
        if (error) {
            return std::nullopt;
        }
        path = path.parent_path() / target;
    }
    return std::nullopt;
}

// Asked by opening for append rather than from the permission bits, which
// do not bind every process (an administrator's, for one).
bool canAppend(const fs::path& path) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    return out.is_open();
}

// A name in the file's own folder that no file has yet.
std::optional<fs::path> unusedTemporaryPath(const fs::path& file) {
    static std::atomic<unsigned> counter{0};
    constexpr int kAttempts = 100;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        fs::path name(".");
        name += file.filename();
        name += "." + std::to_string(stamp) + "-" + std::to_string(counter++) + ".tmp";
        const fs::path candidate = file.parent_path() / name;
        std::error_code error;
        if (fs::symlink_status(candidate, error).type() == fs::file_type::not_found) {
            return candidate;
        }
    }
    return std::nullopt;
}

bool replaceFile(const fs::path& file, const std::string& content,
                 std::optional<fs::perms> permissions) {
    const std::optional<fs::path> temporary = unusedTemporaryPath(file);
    if (!temporary) {
        return false;
    }
    std::ofstream out(*temporary, std::ios::binary | std::ios::trunc);
    if (!out) {
        return false;
    }
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    if (out) {
        std::error_code error;
        if (permissions) {
            // Failing here costs the old permissions only, not the profile.
            fs::permissions(*temporary, *permissions, fs::perm_options::replace, error);
        }
        fs::rename(*temporary, file, error);
        if (!error) {
            return true;
        }
    }
    std::error_code ignored;
    fs::remove(*temporary, ignored);
    return false;
}

}  // namespace

std::optional<std::string> readProfileFile(const std::string& path) {
    return readPrefix(fromUtf8(path), kMaxProfileBytes);
}

bool saveProfileFile(const std::string& path, const ProfileRegisters& registers) {
    const std::optional<fs::path> file = followLinks(fromUtf8(path));
    if (!file) {
        return false;
    }
    std::error_code error;
    const fs::file_status status = fs::status(*file, error);
    std::string existing;
    std::optional<fs::perms> permissions;
    if (status.type() != fs::file_type::not_found) {
        if (!fs::is_regular_file(status) || !canAppend(*file)) {
            return false;
        }
        std::optional<std::string> bytes = readPrefix(*file, kMaxProfileBytes + 1);
        if (!bytes || bytes->size() > kMaxProfileBytes) {
            return false;
        }
        existing = std::move(*bytes);
        permissions = status.permissions();
    }
    return replaceFile(*file, writeProfile(existing, registers), permissions);
}

}  // namespace orv
