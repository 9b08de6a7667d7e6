// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_view/figures_box.h"

#include <QFormLayout>
#include <QLineEdit>

namespace orv {

using analysis::kFigureEntries;

FiguresBox::FiguresBox(QWidget* parent) : QGroupBox(QStringLiteral("Figures"), parent) {
    auto* form = new QFormLayout(this);
    for (std::size_t i = 0; i < kFigures; ++i) {
        auto* field = new QLineEdit;
        field->setReadOnly(true);
        field->setAccessibleName(QString::fromLatin1(kFigureEntries[i].name));
        field->setMinimumWidth(
            field->fontMetrics().horizontalAdvance(QStringLiteral("-2.50000000 V")) + 16);
        form->addRow(QString::fromLatin1(kFigureEntries[i].label), field);
        fields_[i] = field;
    }
}

void FiguresBox::showTexts(const analysis::FigureTexts& texts) {
    for (std::size_t i = 0; i < kFigures; ++i) {
        fields_[i]->setText(QString::fromStdString(texts.*(kFigureEntries[i].text)));
        fields_[i]->setCursorPosition(0);
    }
}

void FiguresBox::clear() {
    for (QLineEdit* field : fields_) {
        field->clear();
    }
}

}  // namespace orv
