// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "profile/profile.h"

namespace orv {

// Paths are UTF-8. A profile file is small; any file can be picked, and one
// larger than this is neither read past it nor rewritten.
inline constexpr std::size_t kMaxProfileBytes = 1 << 20;

// The first kMaxProfileBytes bytes of the regular file at `path` (through
// symbolic links); empty when it cannot be read.
std::optional<std::string> readProfileFile(const std::string& path);

// Writes the profile into the file at `path`, a new one or an existing one
// whose other content is kept (writeProfile). A symbolic link is written
// through to its target. The new content is written to a temporary file in
// the same folder, which then replaces the old file in one rename, so a full
// disk or a crash leaves the old profile whole; the replacement takes the old
// file's permissions. False when the existing file is not a regular file, is
// not writable or is larger than kMaxProfileBytes, when the folder is
// missing, or when writing fails; the old file is then unchanged and no
// temporary file is left behind.
bool saveProfileFile(const std::string& path, const ProfileRegisters& registers);

}  // namespace orv
