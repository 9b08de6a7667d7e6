// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a block file, a capture or a text file of "Save File": reading
// either returns a whole block or refuses with a reason, and a block read
// writes as a capture that reads back the same, cut short or not. A broken
// rule aborts.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "capture/capture.h"

namespace {

void require(bool holds, const char* rule) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", rule);
        std::abort();
    }
}

bool sameTime(const std::optional<orv::LocalTime>& a, const std::optional<orv::LocalTime>& b) {
    if (!a || !b) {
        return !a && !b;
    }
    return a->year == b->year && a->month == b->month && a->day == b->day && a->hour == b->hour &&
           a->minute == b->minute && a->second == b->second;
}

// Every field alike, numbers exactly.
bool sameCapture(const orv::Capture& a, const orv::Capture& b) {
    const orv::CaptureInfo& x = a.info;
    const orv::CaptureInfo& y = b.info;
    return sameTime(x.created, y.created) && x.tool == y.tool && x.port == y.port &&
           x.registers == y.registers && x.scale.gain == y.scale.gain &&
           x.scale.vref == y.scale.vref && x.scale.rateHz == y.scale.rateHz && a.codes == b.codes;
}

void requireSound(const orv::CaptureReading& reading) {
    require(reading.capture.has_value() == reading.error.empty(),
            "a reading is a block or a reason, never both, never neither");
    require(reading.capture || reading.error.starts_with("line ") ||
                reading.error.starts_with("no results"),
            "a refusal names its line");
    if (reading.capture) {
        const std::vector<std::int32_t>& codes = reading.capture->codes;
        require(!codes.empty() && codes.size() <= 65535, "a block holds 1 to 65535 results");
        for (const std::int32_t code : codes) {
            require(code >= -8388608 && code <= 8388607, "a code is a 24-bit result");
        }
    }
}

std::string withCrLf(std::string_view text) {
    std::string windows;
    for (const char c : text) {
        if (c == '\n') {
            windows += '\r';
        }
        windows += c;
    }
    return windows;
}

// A place in `text` chosen by the input, so that the cuts vary with it.
std::size_t cutFor(std::string_view input, std::size_t size) {
    std::size_t hash = input.size();
    for (const char c : input) {
        hash = hash * 31 + static_cast<unsigned char>(c);
    }
    return hash % size;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    const orv::CaptureReading reading = orv::readBlockFile(input);
    requireSound(reading);
    if (!reading.capture) {
        return 0;
    }
    const orv::Capture& capture = *reading.capture;

    const std::string written = orv::captureText(capture);
    const orv::CaptureReading again = orv::readCapture(written);
    requireSound(again);
    require(again.capture && sameCapture(*again.capture, capture),
            "a block read writes as a capture that reads back the same");
    const orv::CaptureReading windows = orv::readCapture(withCrLf(written));
    require(windows.capture && sameCapture(*windows.capture, capture),
            "a capture with CR LF line ends reads as with LF");

    // Never a partial block: a capture cut short anywhere, in its last
    // bytes above all, reads as the whole block or not at all.
    const std::size_t tail = std::min<std::size_t>(written.size(), 48);
    for (const std::size_t cut :
         {cutFor(input, written.size()), written.size() - 1 - cutFor(input, tail)}) {
        const orv::CaptureReading cutShort = orv::readCapture(written.substr(0, cut));
        requireSound(cutShort);
        require(!cutShort.capture || sameCapture(*cutShort.capture, capture),
                "a capture cut short is refused or still whole");
    }
    return 0;
}
