// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_view/figures_box.h"

#include <QFormLayout>
#include <QLineEdit>

namespace orv {

namespace {

struct Figure {
    const char* name;
    const char* label;
    std::string analysis::FigureTexts::*text;
};

using analysis::FigureTexts;

// In the order of the copied report.
constexpr std::array<Figure, FiguresBox::kFigures> kFigureList{{
    {"Samples", "Samples", &FigureTexts::samples},
    {"Mean", "Mean", &FigureTexts::mean},
    {"RMS Noise", "RMS Noise", &FigureTexts::rmsNoise},
    {"Peak-to-Peak Noise", "Peak-to-Peak Noise", &FigureTexts::peakToPeakNoise},
    {"Effective Resolution", "Effective Resolution", &FigureTexts::effectiveResolution},
    {"Noise-Free Resolution", "Noise-Free Resolution", &FigureTexts::noiseFreeResolution},
    {"SNR", "SNR", &FigureTexts::snr},
    {"THD", "THD", &FigureTexts::thd},
    {"SINAD", "SINAD", &FigureTexts::sinad},
    {"SFDR", "SFDR", &FigureTexts::sfdr},
    {"ENOB", "ENOB (from SINAD)", &FigureTexts::enob},
}};

}  // namespace

FiguresBox::FiguresBox(QWidget* parent) : QGroupBox(QStringLiteral("Figures"), parent) {
    auto* form = new QFormLayout(this);
    for (std::size_t i = 0; i < kFigures; ++i) {
        auto* field = new QLineEdit;
        field->setReadOnly(true);
        field->setAccessibleName(QString::fromLatin1(kFigureList[i].name));
        field->setMinimumWidth(
            field->fontMetrics().horizontalAdvance(QStringLiteral("-2.50000000 V")) + 16);
        form->addRow(QString::fromLatin1(kFigureList[i].label), field);
        fields_[i] = field;
    }
}

void FiguresBox::showTexts(const analysis::FigureTexts& texts) {
    for (std::size_t i = 0; i < kFigures; ++i) {
        fields_[i]->setText(QString::fromStdString(texts.*(kFigureList[i].text)));
        fields_[i]->setCursorPosition(0);
    }
}

void FiguresBox::clear() {
    for (QLineEdit* field : fields_) {
        field->clear();
    }
}

}  // namespace orv
