// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/capture.h"

namespace orv {

std::string utcText(const LocalTime&) {
    return {};
}

std::string captureText(const Capture&) {
    return {};
}

CaptureReading readCapture(std::string_view) {
    return {std::nullopt, "not written yet"};
}

CaptureReading readTextFile(std::string_view) {
    return {std::nullopt, "not written yet"};
}

CaptureReading readBlockFile(std::string_view) {
    return {std::nullopt, "not written yet"};
}

}  // namespace orv
