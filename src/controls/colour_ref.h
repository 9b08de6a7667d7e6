// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <cstdint>

namespace orv {

// Colours the tool keeps as 32-bit values laid out 0x00BBGGRR (red in the
// low byte), as the chart colours and the calibration indicator are.
inline QColor fromColourRef(std::uint32_t colour) {
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

inline std::uint32_t toColourRef(const QColor& colour) {
    return std::uint32_t(colour.red()) | std::uint32_t(colour.green()) << 8 |
           std::uint32_t(colour.blue()) << 16;
}

}  // namespace orv
