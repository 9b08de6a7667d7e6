// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/tc_edit.h"

#include <QKeyEvent>
#include <QValidator>
#include <algorithm>

namespace orv {

namespace {

constexpr char16_t kBackspace = 0x08;
constexpr char16_t kDelete = 0x7F;

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

bool isHexDigit(char16_t c) {
    return isDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool isPrintable(const QString& text) {
    const QList<uint> codePoints = text.toUcs4();
    return !codePoints.isEmpty() &&
           std::all_of(codePoints.begin(), codePoints.end(),
                       [](uint codePoint) { return QChar::isPrint(codePoint); });
}

// The characters a key press inserts, as the keyboard driver of a desktop
// system translates it: control characters for Backspace and Ctrl+letter,
// otherwise the printable text. Empty for keys that insert nothing.
QString typedCharacters(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    const bool control =
        modifiers.testFlag(Qt::ControlModifier) && !modifiers.testFlag(Qt::AltModifier);
    const int key = event.key();
    if (key == Qt::Key_Backspace) {
        return QString(QChar(control ? kDelete : kBackspace));
    }
    if (control && key >= Qt::Key_A && key <= Qt::Key_Z) {
        return QString(QChar(char16_t(key - Qt::Key_A + 1)));
    }
    return isPrintable(event.text()) ? event.text() : QString();
}

// Upper-cases one character at a time, so the length and the caret stay.
class UpperCaseValidator final : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int&) const override {
        for (QChar& c : input) {
            c = c.toUpper();
        }
        return Acceptable;
    }
};

}  // namespace

CTCEdit::CTCEdit(QWidget* parent) : QLineEdit(parent) {}

bool CTCEdit::OnChar(char16_t character) {
    switch (mode) {
        case TCEDIT_ANY:
            return true;
        case TCEDIT_DECIMAL:
            if (character == u'.') {
                focusNextSibling();
                return false;
            }
            return isDigit(character) || character == kBackspace;
        case TCEDIT_HEX:
            return isHexDigit(character) || character == kBackspace;
        default:
            return false;
    }
}

void CTCEdit::setUpperCase(bool on) {
    if (on == upperCase()) {
        return;
    }
    if (on) {
        upperCase_ = new UpperCaseValidator(this);
        setValidator(upperCase_);
    } else {
        setValidator(nullptr);
        delete upperCase_;
        upperCase_ = nullptr;
    }
}

bool CTCEdit::upperCase() const {
    return upperCase_ != nullptr;
}

// A press that would insert several characters is dropped whole when any
// of them is.
void CTCEdit::keyPressEvent(QKeyEvent* event) {
    const QString characters = typedCharacters(*event);
    for (const QChar c : characters) {
        if (!OnChar(c.unicode())) {
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

// The parent's children are in creation order (until raise() or lower()
// reorders them), which is the order the fields of a dotted entry are made
// in. Objects that are no widgets are passed over.
void CTCEdit::focusNextSibling() {
    const QWidget* parent = parentWidget();
    if (parent == nullptr) {
        return;
    }
    const QObjectList& siblings = parent->children();
    for (qsizetype i = siblings.indexOf(this) + 1; i < siblings.size(); ++i) {
        if (siblings[i]->isWidgetType()) {
            static_cast<QWidget*>(siblings[i])->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

}  // namespace orv
