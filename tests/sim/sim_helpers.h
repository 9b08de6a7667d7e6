// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <cstdint>
#include <span>
#include <vector>

#include "link/frame.h"
#include "sim/evm_model.h"

namespace orv::test {

using Bytes = std::vector<std::uint8_t>;

// Hex text such as "55 01 F0 00 00 0F" as bytes, and bytes as that text, so
// that a failed comparison shows the bytes.
inline Bytes fromHex(const char* text) {
    const QByteArray raw = QByteArray::fromHex(text);
    return Bytes(raw.begin(), raw.end());
}

inline QByteArray toHex(std::span<const std::uint8_t> bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()))
        .toHex(' ')
        .toUpper();
}

inline Bytes toBytes(const Frame& frame) {
    return Bytes(frame.begin(), frame.end());
}

// The bytes of all reactions, in order.
inline Bytes sent(const std::vector<sim::Reaction>& reactions) {
    Bytes all;
    for (const sim::Reaction& reaction : reactions) {
        all.insert(all.end(), reaction.bytes.begin(), reaction.bytes.end());
    }
    return all;
}

inline Bytes answer(sim::EvmModel& model, const Bytes& input) {
    return sent(model.receive(input));
}

inline Bytes answer(sim::EvmModel& model, const Frame& frame) {
    return answer(model, toBytes(frame));
}

// The signed results of a block of sample items.
inline std::vector<std::int32_t> samples(const Bytes& block) {
    std::vector<std::int32_t> values;
    for (std::size_t k = 0; k + 4 <= block.size(); k += 4) {
        std::int32_t v = (block[k] << 16) | (block[k + 1] << 8) | block[k + 2];
        values.push_back(block[k] >= 0x80 ? v - (1 << 24) : v);
    }
    return values;
}

// Indexes of the items whose check byte is wrong.
inline std::vector<std::size_t> badItems(const Bytes& block) {
    std::vector<std::size_t> bad;
    for (std::size_t k = 0; k + 4 <= block.size(); k += 4) {
        if (!itemChecksumOk(block[k], block[k + 1], block[k + 2], block[k + 3])) {
            bad.push_back(k / 4);
        }
    }
    return bad;
}

}  // namespace orv::test
