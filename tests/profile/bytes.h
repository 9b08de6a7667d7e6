// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <cstddef>
#include <string>
#include <string_view>

namespace orv::test {

// A literal's bytes, NULs included.
template <std::size_t N>
QByteArray bytes(const char (&literal)[N]) {
    return QByteArray(literal, static_cast<qsizetype>(N - 1));
}

inline std::string toStd(const QByteArray& data) {
    return std::string(data.constData(), static_cast<std::size_t>(data.size()));
}

inline QByteArray toBytes(std::string_view text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace orv::test
