// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/scale.h"
#include "seams/clock.h"

namespace orv {

// A capture: one block of conversion results and everything needed to read
// it again, in one UTF-8 text file with LF line ends:
//
//   # Orvellin capture 1
//   # created: 2026-12-11T12:00:00Z
//   # tool: orvellin 1.1.0.3
//   # port: /dev/ttyUSB0
//   # registers: 30 01 20 F0 E1 00 00 00 3E 5A 45
//   # gain: 1
//   # vref_v: 2.5
//   # rate_sps: 30000
//   # count: 3
//   index,code,volts
//   0,2079397,1.2394171953201294
//   ...
//
// `created` is the collection's start in UTC; `registers` the register image
// the block was collected with, STATUS to FSC2; `rate_sps` is empty when the
// data-rate code is unknown; volts are code x 2 Vref / (gain x 2^23), each
// the shortest text that reads back as the same double. Readers skip "#"
// lines they do not know, so later versions may add keys.
inline constexpr std::string_view kCaptureFirstLine = "# Orvellin capture 1";

// What a block was collected with and where it came from.
struct CaptureInfo {
    std::optional<LocalTime> created;  // UTC; none when not known
    std::string tool;                  // "orvellin 1.1.0.3"; may be empty
    std::string port;                  // the port's name; may be empty
    std::optional<std::array<std::uint8_t, 11>> registers;
    analysis::Scale scale;  // gain, data rate (none when unknown) and Vref
};

struct Capture {
    CaptureInfo info;
    std::vector<std::int32_t> codes;
};

// "2026-12-11T12:00:00Z".
std::string utcText(const LocalTime& utc);

// The whole file.
std::string captureText(const Capture& capture);

// The same text in two parts, for a collection that makes each row while
// the next result is still on the wire: the lines up to and including the
// column header for `count` rows, and the row of result `index`, appended
// to `rows`. captureText is the header followed by every row.
std::string captureHeader(const CaptureInfo& info, std::size_t count);
void appendCaptureRow(std::string& rows, std::size_t index, std::int32_t code,
                      const analysis::Scale& scale);

// A file read back, or why it could not be: `error` names the line
// ("line 12: ..."). A file is either read whole or refused; nothing partial
// is ever returned.
struct CaptureReading {
    std::optional<Capture> capture;
    std::string error;
};

// Reads a capture. Refuses a file without the first line, a truncated one
// (fewer rows than `count`), a row that is not index,code,volts with the
// next index, a code outside -8388608..8388607, a non-numeric value, and
// settings out of range (gain not 1, 2, 4 ... 64; Vref or rate not a
// positive finite number).
//
// Also: `count` is required, from 1 to 65535, and rows beyond it are
// refused; a known key given twice is refused; volts more than half a code
// away from the code's own volts are refused (a row cut short, or a header
// edited without its rows). Missing keys take the defaults of CaptureInfo:
// no time, tool, port or registers, gain 1, Vref 2.5 V, rate unknown.
// Tolerated: CR LF line ends, a UTF-8 byte order mark, "#" lines in any
// order and empty lines before the column header, empty lines after the
// last row. Tool and port are read and written as one line: control
// characters become spaces, blanks at either end go.
CaptureReading readCapture(std::string_view text);

// Reads a text file of "Save File" (one result per line, right-aligned,
// CR LF): the codes alone, with `info` left at its defaults for the caller
// to fill in. Takes LF alone as well, blanks around each number and empty
// lines; refuses a file without a number ("no results"), a line that is not
// a whole number in -8388608..8388607, and more than 65535 results.
CaptureReading readTextFile(std::string_view text);

// Whether readBlockFile reads `text` as a capture (with settings of its
// own) rather than a text file (with none): any text starting with '#',
// after a byte order mark, so that a capture of another version is refused
// as one, not as a text file.
bool isCaptureText(std::string_view text);

// A capture when isCaptureText, else a text file.
CaptureReading readBlockFile(std::string_view text);

// The largest block file worth reading, for readWholeFile (data_files.h): a
// capture of 65535 results takes under 3 MB, a text file well under 1 MB.
inline constexpr std::size_t kMostBlockFileBytes = 16 * 1024 * 1024;

}  // namespace orv
