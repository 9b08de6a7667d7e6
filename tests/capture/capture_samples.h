// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <QTest>
#include <cstdio>
#include <random>
#include <string>

#include "capture/capture.h"

Q_DECLARE_METATYPE(orv::Capture)

namespace orv::test {

// The capture of the file format's example, and its file byte for byte.
inline Capture exampleCapture() {
    Capture capture;
    capture.info.created = LocalTime{2026, 12, 11, 12, 0, 0};
    capture.info.tool = "orvellin 1.1.0.3";
    capture.info.port = "/dev/ttyUSB0";
    capture.info.registers = {0x30, 0x01, 0x20, 0xF0, 0xE1, 0x00, 0x00, 0x00, 0x3E, 0x5A, 0x45};
    capture.info.scale = {1, 30000.0, 2.5};
    capture.codes = {2079397, -5, 8388607};
    return capture;
}

inline constexpr const char* kExampleText =
    "# Orvellin capture 1\n"
    "# created: 2026-12-11T12:00:00Z\n"
    "# tool: orvellin 1.1.0.3\n"
    "# port: /dev/ttyUSB0\n"
    "# registers: 30 01 20 F0 E1 00 00 00 3E 5A 45\n"
    "# gain: 1\n"
    "# vref_v: 2.5\n"
    "# rate_sps: 30000\n"
    "# count: 3\n"
    "index,code,volts\n"
    "0,2079397,1.2394171953201294\n"
    "1,-5,-2.9802322387695312e-06\n"
    "2,8388607,4.999999403953552\n";

// `count` codes over the whole range, the same on every run.
inline std::vector<std::int32_t> spreadCodes(std::size_t count, unsigned seed) {
    std::mt19937 generator(seed);
    std::uniform_int_distribution<std::int32_t> code(-8388608, 8388607);
    std::vector<std::int32_t> codes(count);
    for (std::int32_t& value : codes) {
        value = code(generator);
    }
    return codes;
}

// Everything a capture holds, numbers exactly (%a), as one text, so that a
// comparison shows what differs.
inline QString describe(const CaptureInfo& info) {
    const auto exact = [](double value) {
        char text[64];
        std::snprintf(text, sizeof text, "%a", value);
        return QString::fromLatin1(text);
    };
    QString text;
    const auto& t = info.created;
    text += "created=" + (t ? QString::asprintf("%d-%d-%d %d:%d:%d", t->year, t->month, t->day,
                                                t->hour, t->minute, t->second)
                            : QString("none"));
    text += " tool=[" + QString::fromStdString(info.tool) + "]";
    text += " port=[" + QString::fromStdString(info.port) + "]";
    text += " registers=";
    if (info.registers) {
        for (const std::uint8_t value : *info.registers) {
            text += QString::number(value, 16) + ".";
        }
    } else {
        text += "none";
    }
    text += " gain=" + QString::number(info.scale.gain);
    text += " vref=" + exact(info.scale.vref);
    text += " rate=" + (info.scale.rateHz ? exact(*info.scale.rateHz) : QString("none"));
    return text;
}

inline QList<int> codesOf(const Capture& capture) {
    return QList<int>(capture.codes.begin(), capture.codes.end());
}

// Fails the running test when the two differ.
inline void compareCaptures(const Capture& actual, const Capture& expected) {
    QCOMPARE(describe(actual.info), describe(expected.info));
    QCOMPARE(codesOf(actual), codesOf(expected));
}

}  // namespace orv::test
