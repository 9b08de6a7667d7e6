// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/cal_page.h"

#include <QFrame>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <cstdlib>

#include "controls/colour_ref.h"
#include "controls/dialog_units.h"
#include "controls/tc_edit.h"
#include "device/page_controls.h"
#include "device/panel_data.h"
#include "link/commands.h"

namespace orv {

namespace {

constexpr int kEntryChars = 6;
constexpr std::uint32_t kRed = 0x0000FF;

// An entry's text as an unsigned hexadecimal number: empty is 0, and the
// number ends at the first character that is not a digit of it.
unsigned long entryValue(const CTCEdit* entry) {
    const std::string text = entry->text().left(15).toStdString();
    return std::strtoul(text.c_str(), nullptr, 16);
}

QFrame* sunkenFrame(QWidget* parent, const QRect& geometry) {
    auto* frame = new QFrame(parent);
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setGeometry(geometry);
    return frame;
}

}  // namespace

CalIndicator::CalIndicator(const std::uint32_t& colour, QWidget* parent)
    : QLabel(QStringLiteral("         "), parent), colour_(colour) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
}

// The edge is the label's own; the fill covers everything inside it.
void CalIndicator::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    QPainter painter(this);
    painter.fillRect(QRect(1, 1, width() - 2, height() - 2), fromColourRef(colour_));
}

ZN410CALDlg::ZN410CALDlg(CalPageData& data, AllRegsPageData& allRegs, const int& busy, Link& link,
                         Prompts& prompts, QWidget* panel)
    : RegisterPage("MS Shell Dlg", QStringLiteral("Cal"), panel),
      data_(data),
      allRegs_(allRegs),
      busy_(busy),
      link_(link),
      prompts_(prompts) {
    setObjectName(QStringLiteral("calPage"));
    buildControls();
    OnInitDialog();
}

void ZN410CALDlg::buildControls() {
    const DialogUnits du(font());

    addLabel(this, "Self Calibration", du.rect(12, 10, 60, 8));
    auto* on = addButton(this, "ON", "onButton", du.rect(12, 22, 40, 14));
    connect(on, &QPushButton::clicked, this, &ZN410CALDlg::OnSelfCalibration);
    QLabel* working = addLabel(this, "Working", du.rect(90, 10, 50, 8));
    indicator_ = labelled(new CalIndicator(data_.indicatorColour, this), working);
    indicator_->setObjectName(QStringLiteral("indicator"));
    indicator_->setGeometry(du.rect(90, 22, 40, 14));

    addLabel(this, "Individual calibration activities", du.rect(12, 46, 150, 8));
    sunkenFrame(this, du.rect(8, 56, 160, 42));
    const auto calibration = [&](const char* caption, const char* name, Command command,
                                 const QRect& geometry) {
        auto* button = addButton(this, caption, name, geometry);
        connect(button, &QPushButton::clicked, this, [this, command] { OnCalibrate(command); });
    };
    calibration("Self offset", "selfOffsetButton", Command::SelfOffsetCal, du.rect(14, 61, 70, 14));
    calibration("Self gain", "selfGainButton", Command::SelfGainCal, du.rect(92, 61, 70, 14));
    calibration("System offset", "systemOffsetButton", Command::SysOffsetCal,
                du.rect(14, 79, 70, 14));
    calibration("System gain", "systemGainButton", Command::SysGainCal, du.rect(92, 79, 70, 14));

    addLabel(this, "Manual commands", du.rect(12, 106, 150, 8));
    sunkenFrame(this, du.rect(8, 116, 160, 76));
    auto* set = addButton(this, "Set", "setButton", du.rect(14, 121, 40, 14));
    auto* read = addButton(this, "Read", "calReadButton", du.rect(60, 121, 40, 14));
    connect(set, &QPushButton::clicked, this, &ZN410CALDlg::OnSet);
    connect(read, &QPushButton::clicked, this, &ZN410CALDlg::OnRead);

    QLabel* offsetHeading = addLabel(this, "Offset Register", du.rect(70, 140, 50, 8));
    QLabel* gainHeading = addLabel(this, "Gain Register", du.rect(120, 140, 46, 8));
    addLabel(this, "To program/After Cal", du.rect(14, 152, 58, 16))->setWordWrap(true);
    addLabel(this, "Current/Before Cal", du.rect(14, 172, 58, 16))->setWordWrap(true);
    const auto entry = [&](const char* name, const QString& accessible, int x) {
        auto* edit = new CTCEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setAccessibleName(accessible);
        edit->setGeometry(du.rect(x, 153, 42, 12));
        return edit;
    };
    offsetEntry_ = entry("offsetEntry", QStringLiteral("Offset Register To program"), 74);
    gainEntry_ = entry("gainEntry", QStringLiteral("Gain Register To program"), 120);
    offsetHeading->setBuddy(offsetEntry_);
    gainHeading->setBuddy(gainEntry_);
    offsetRead_ = addReadOnlyField(this, "offsetRead", du.rect(74, 173, 42, 12));
    offsetRead_->setAccessibleName(QStringLiteral("Offset Register Current"));
    gainRead_ = addReadOnlyField(this, "gainRead", du.rect(120, 173, 42, 12));
    gainRead_->setAccessibleName(QStringLiteral("Gain Register Current"));
}

void ZN410CALDlg::OnInitDialog() {
    offsetEntry_->setMaxLength(kEntryChars);
    gainEntry_->setMaxLength(kEntryChars);
}

// The box is painted before the blocking exchange starts, not when the
// event loop next gets round to it.
void ZN410CALDlg::paintIndicator(std::uint32_t colour) {
    data_.indicatorColour = colour;
    indicator_->repaint();
}

// Only a frame that cannot be sent is reported; the box then stays red.
void ZN410CALDlg::OnSelfCalibration() {
    if (selfCalibrating_ || busy_) {
        return;
    }
    selfCalibrating_ = true;
    paintIndicator(kRed);
    if (SelfCalibrate(link_, link_.clock(), prompts_, this) != SelfCalibration::NotSent) {
        paintIndicator(toColourRef(palette().color(QPalette::Button)));
    }
    selfCalibrating_ = false;
}

void ZN410CALDlg::OnCalibrate(Command command) {
    if (busy_) {
        return;
    }
    Calibrate(link_, prompts_, this, command);
}

// Least significant byte first, to the lowest address; nothing is shown or
// kept, whatever the EVM answers.
void ZN410CALDlg::OnSet() {
    if (busy_) {
        return;
    }
    for (const auto& [entry, first] :
         {std::pair{offsetEntry_, OFC0}, std::pair{gainEntry_, FSC0}}) {
        const unsigned long value = entryValue(entry);
        for (int k = 0; k < 3; ++k) {
            SetCalibrationRegister(link_, static_cast<std::uint8_t>(first + k),
                                   static_cast<std::uint8_t>((value >> (8 * k)) & 0xFF));
        }
    }
}

// Silent: a wrong reply clears its byte, a failed exchange keeps it. The
// register image is not touched.
void ZN410CALDlg::OnRead() {
    if (busy_) {
        return;
    }
    const auto readThree = [&](int first) {
        for (int k = first; k < first + 3; ++k) {
            const auto address = static_cast<std::uint8_t>(OFC0 + k);
            std::uint8_t& byte = data_.calibration[k];
            byte = ReadRegister(link_, address).appliedTo(byte);
            allRegs_.readValues[address] = byte;
        }
    };
    readThree(0);
    showOffset();
    readThree(3);
    showGain();
    emit readValuesChanged();
}

void ZN410CALDlg::Refresh() {
    showOffset();
    showGain();
}

void ZN410CALDlg::showOffset() {
    const auto& c = data_.calibration;
    offsetRead_->setText(QString::fromStdString(calibrationText(c[2], c[1], c[0])));
}

void ZN410CALDlg::showGain() {
    const auto& c = data_.calibration;
    gainRead_->setText(QString::fromStdString(calibrationText(c[5], c[4], c[3])));
}

}  // namespace orv
