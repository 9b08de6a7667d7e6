// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "capture/capture.h"
#include "capture/file_text.h"

namespace orv {

// The "# key: value" lines of a capture's header, between its first line
// and its column header, which other files of settings (a long run's trend)
// share: created, tool, port, registers, gain, vref_v, rate_sps and count.

// The lines, in that order, each with its LF.
std::string settingsLines(const CaptureInfo& info, std::size_t count);

struct SettingsHeader {
    CaptureInfo info;
    std::optional<std::size_t> count;
};

// Reads the lines after the first up to and including `columnHeader`:
// "#" lines in any order (unknown keys and lines without a ':' skipped, a
// known key twice refused), empty lines skipped, each value checked as
// readCapture describes; `count` is required. Returns why the header is
// refused ("line 7: ..."), or nothing once the column header was read.
std::optional<std::string> readSettingsLines(file_text::Lines& lines, std::string_view columnHeader,
                                             SettingsHeader& header);

}  // namespace orv
