// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <tuple>
#include <vector>

#include "analysis_view/analysis_window.h"
#include "capture/capture.h"
#include "recording_prompts.h"

namespace orv::test {

// Blocks whose figures are known by hand. At gain 1 and Vref 2.5 V a code
// is 5 / 2^23 V = 0.59604645 µV, and 2^22 codes are 2.5 V.
inline constexpr std::int32_t kQuarterScale = 4194304;  // 2^22
inline constexpr double kMicrovoltsPerCode = 5.0 / 8388608.0 * 1e6;

// Every code the same: no noise at all.
inline std::vector<std::int32_t> constantBlock(std::size_t length, std::int32_t code) {
    return std::vector<std::int32_t>(length, code);
}

// `centre` - `swing`, `centre` + `swing`, ... (even length): mean `centre`,
// RMS `swing`, peak-to-peak 2 x `swing` codes.
inline std::vector<std::int32_t> alternatingBlock(std::size_t length, std::int32_t centre,
                                                  std::int32_t swing) {
    std::vector<std::int32_t> codes(length);
    for (std::size_t i = 0; i < length; ++i) {
        codes[i] = i % 2 ? centre + swing : centre - swing;
    }
    return codes;
}

// A sine of `amplitude` codes, `cycles` periods over the block, rounded to
// codes (which alone gives it a noise floor).
inline std::vector<std::int32_t> toneBlock(std::size_t length, double cycles, double amplitude) {
    std::vector<std::int32_t> codes(length);
    for (std::size_t i = 0; i < length; ++i) {
        const double phase = 2.0 * std::numbers::pi * cycles * double(i) / double(length);
        codes[i] = std::int32_t(std::lround(amplitude * std::sin(phase)));
    }
    return codes;
}

// The leading number of a figure's text ("596.046 µV" gives 596.046).
inline double numberIn(const QString& text) {
    const std::string s = text.toStdString();
    double value = std::nan("");
    std::from_chars(s.data(), s.data() + s.size(), value);
    return value;
}

// The capture a file holds, as the capture reader reads it.
inline CaptureReading readCaptureFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {std::nullopt, "cannot open " + path.toStdString()};
    }
    return readCapture(file.readAll().toStdString());
}

inline bool sameTime(const std::optional<LocalTime>& a, const std::optional<LocalTime>& b) {
    const auto fields = [](const LocalTime& t) {
        return std::tuple(t.year, t.month, t.day, t.hour, t.minute, t.second);
    };
    return a.has_value() == b.has_value() && (!a || fields(*a) == fields(*b));
}

// An Analysis window with recorded prompts, and its controls found as a
// screen reader finds them: by accessible name.
struct WindowFixture {
    template <class Control = QWidget>
    Control* named(const QString& name) {
        for (Control* control : window.findChildren<Control*>()) {
            if (control->accessibleName() == name) {
                return control;
            }
        }
        return nullptr;
    }
    QString figure(const QString& name) {
        const QLineEdit* field = named<QLineEdit>(name);
        return field ? field->text() : QStringLiteral("(no field)");
    }
    void chooseGain(int gain) {
        QComboBox* list = named<QComboBox>(QStringLiteral("Gain"));
        list->setCurrentIndex(list->findData(gain));
    }
    void typeVref(const QString& text) {
        QLineEdit* field = named<QLineEdit>(QStringLiteral("Vref (V)"));
        field->setText(text);
        QTest::keyClick(field, Qt::Key_Return);
    }

    RecordingPrompts prompts;
    AnalysisWindow window{prompts};
};

}  // namespace orv::test
