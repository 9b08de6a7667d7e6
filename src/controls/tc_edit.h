// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>

class QKeyEvent;
class QValidator;

namespace orv {

// Values of CTCEdit::mode: which typed characters the field takes.
inline constexpr int TCEDIT_ANY = 0;
inline constexpr int TCEDIT_DECIMAL = 1;
inline constexpr int TCEDIT_HEX = 2;

// A line edit that filters the characters typed into it, by `mode`:
// - TCEDIT_ANY takes every character;
// - TCEDIT_DECIMAL takes '0'-'9' and backspace; a '.' moves the keyboard
//   focus to the widget created after this one in the same parent (the next
//   field of a dotted entry) and is itself dropped;
// - TCEDIT_HEX takes '0'-'9', 'a'-'f', 'A'-'F' and backspace;
// - any other value takes nothing.
// Only characters a key press would insert are filtered, control characters
// included (Ctrl+V is 0x16, so the clipboard shortcuts do nothing in the
// digit modes). Keys that insert nothing (Delete, the arrows, Home, End,
// Shift+Insert) always reach the line edit, and text set by the program or
// pasted from the context menu is never filtered. A dropped character
// changes nothing and makes no sound.
class CTCEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CTCEdit(QWidget* parent = nullptr);

    // Whether `character` is passed on to the line edit; performs the
    // focus move of a '.' in TCEDIT_DECIMAL.
    bool OnChar(char16_t character);

    // Shows every letter entered from then on in upper case, whether typed,
    // pasted or set by the program. Off by default; it takes the line edit's
    // validator.
    void setUpperCase(bool on);
    bool upperCase() const;

    int mode = TCEDIT_HEX;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void focusNextSibling();

    QValidator* upperCase_ = nullptr;
};

}  // namespace orv
