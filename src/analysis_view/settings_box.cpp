// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_view/settings_box.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <cmath>

#include "analysis/number_text.h"
#include "analysis_view/volt_text.h"

namespace orv {

namespace {

// The fixed entries of each list; an extra entry for an unlisted value
// follows them.
constexpr int kGainEntries = analysis::kHighestGainCode + 1;
constexpr int kRateEntries = int(analysis::kDataRates.size()) + 1;  // the rates, then "Unknown"

QString rateText(double rate) {
    return QString::number(rate) + QStringLiteral(" SPS");
}

// Selects the entry whose data is `value`, first dropping an extra entry
// left from an earlier value, and adding one when no entry has it.
void select(QComboBox* list, int fixedEntries, const QVariant& value, const QString& text) {
    while (list->count() > fixedEntries) {
        list->removeItem(fixedEntries);
    }
    int index = list->findData(value);
    if (index < 0) {
        list->addItem(text, value);
        index = list->count() - 1;
    }
    list->setCurrentIndex(index);
}

QComboBox* labelledList(QFormLayout* form, const QString& label, const char* name) {
    auto* list = new QComboBox;
    list->setObjectName(QString::fromLatin1(name));
    list->setAccessibleName(label);
    form->addRow(label, list);
    return list;
}

}  // namespace

SettingsBox::SettingsBox(QWidget* parent) : QGroupBox(QStringLiteral("Settings used"), parent) {
    auto* form = new QFormLayout(this);
    gain_ = labelledList(form, QStringLiteral("Gain"), "gain");
    for (int code = 0; code <= analysis::kHighestGainCode; ++code) {
        gain_->addItem(QString::number(1 << code), 1 << code);
    }
    rate_ = labelledList(form, QStringLiteral("Data rate"), "dataRate");
    for (const analysis::DataRate& rate : analysis::kDataRates) {
        rate_->addItem(rateText(rate.samplesPerSecond), rate.samplesPerSecond);
    }
    rate_->addItem(QStringLiteral("Unknown"), QVariant());

    vref_ = new QLineEdit;
    vref_->setObjectName(QStringLiteral("vref"));
    vref_->setAccessibleName(QStringLiteral("Vref (V)"));
    form->addRow(vref_->accessibleName(), vref_);
    vrefNote_ = new QLabel;
    vrefNote_->setObjectName(QStringLiteral("vrefNote"));
    vrefNote_->setWordWrap(true);
    vrefNote_->setStyleSheet(QStringLiteral("color: #B02010"));
    vrefNote_->hide();
    form->addRow(vrefNote_);

    connect(gain_, &QComboBox::currentIndexChanged, this, &SettingsBox::takeGain);
    connect(rate_, &QComboBox::currentIndexChanged, this, &SettingsBox::takeRate);
    connect(vref_, &QLineEdit::editingFinished, this, &SettingsBox::takeVref);
    setScale(scale_);
}

void SettingsBox::setScale(const analysis::Scale& scale) {
    scale_ = scale;
    const QSignalBlocker gainBlocker(gain_);
    const QSignalBlocker rateBlocker(rate_);
    select(gain_, kGainEntries, scale.gain, QString::number(scale.gain));
    select(rate_, kRateEntries, scale.rateHz ? QVariant(*scale.rateHz) : QVariant(),
           rateText(scale.rateHz.value_or(0.0)));
    vref_->setText(QString::fromStdString(analysis::shortestText(scale.vref)));
    vrefNote_->hide();
}

void SettingsBox::takeGain() {
    scale_.gain = gain_->currentData().toInt();
    emit scaleChanged(scale_);
}

void SettingsBox::takeRate() {
    const QVariant rate = rate_->currentData();
    scale_.rateHz = rate.isValid() ? std::optional<double>(rate.toDouble()) : std::nullopt;
    emit scaleChanged(scale_);
}

void SettingsBox::takeVref() {
    const QString typed = vref_->text();
    const std::optional<double> vref = parseVref(typed.toStdString());
    vref_->setText(QString::fromStdString(analysis::shortestText(vref.value_or(scale_.vref))));
    if (!vref) {
        vrefNote_->setText(QStringLiteral("\u201C%1\u201D is not a positive number of volts; "
                                          "Vref stays %2 V.")
                               .arg(typed, vref_->text()));
        vrefNote_->show();
        return;
    }
    vrefNote_->hide();
    if (*vref != scale_.vref) {
        scale_.vref = *vref;
        emit scaleChanged(scale_);
    }
}

}  // namespace orv
