// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QTimer>
#include <utility>

#include "controls/tc_edit.h"

using namespace orv;

namespace {

// A CTCEdit followed by a plain line edit in a shown, active window, with
// the keyboard focus in the CTCEdit.
struct Form {
    explicit Form(int mode) {
        edit = new CTCEdit(&window);
        edit->mode = mode;
        new QTimer(&window);  // a child that is no widget, between the two
        next = new QLineEdit(&window);
        edit->move(0, 0);
        next->move(0, 40);
        window.show();
        window.activateWindow();
        edit->setFocus();
    }
    bool ready() {
        return QTest::qWaitForWindowActive(&window) && QApplication::focusWidget() == edit;
    }

    QWidget window;
    CTCEdit* edit;
    QLineEdit* next;
};

// Types `keys` as the user does: each key goes to whichever widget has the
// keyboard focus at the time.
void type(const QString& keys) {
    for (const QChar key : keys) {
        QTest::keyClick(static_cast<QWidget*>(nullptr), key.toLatin1());
    }
}

// A key click that carries `text`, where QTest would put the key's letter.
class KeyWithText final : public QTestEvent {
public:
    KeyWithText(Qt::Key key, const QString& text, Qt::KeyboardModifiers modifiers)
        : key_(key), text_(text), modifiers_(modifiers) {}
    void simulate(QWidget* widget) override {
        QTest::sendKeyEvent(QTest::Click, widget, key_, text_, modifiers_);
    }
    QTestEvent* clone() const override { return new KeyWithText(*this); }

private:
    Qt::Key key_;
    QString text_;
    Qt::KeyboardModifiers modifiers_;
};

// Ctrl with a letter as a keyboard driver delivers it, with the control
// character as its text (0x16 for Ctrl+V); Ctrl+Backspace as QTest makes it.
QTestEventList ctrl(Qt::Key key) {
    QTestEventList events;
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        const QChar control(char16_t(key - Qt::Key_A + 1));
        events.append(new KeyWithText(key, QString(control), Qt::ControlModifier));
    } else {
        events.addKeyClick(key, Qt::ControlModifier);
    }
    return events;
}

QTestEventList keys(std::initializer_list<Qt::Key> list, Qt::KeyboardModifiers modifiers = {}) {
    QTestEventList events;
    for (const Qt::Key key : list) {
        events.addKeyClick(key, modifiers);
    }
    return events;
}

class TCEditTest : public QObject {
    Q_OBJECT
private slots:
    void typedCharactersAreFilteredByMode_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("upper");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, int mode, bool upper, const char* typed,
                            const char* expected) {
            QTest::newRow(name) << mode << upper << QString(typed) << QString(expected);
        };
        row("hex", TCEDIT_HEX, false, "1aG -", "1a");
        row("hex, upper case", TCEDIT_HEX, true, "1aG -", "1A");
        row("hex, edges of the ranges", TCEDIT_HEX, false, "/09:@AFG`afg", "09AFaf");
        row("decimal, edges of the range", TCEDIT_DECIMAL, false, "/09:aA -+,", "09");
        row("any", TCEDIT_ANY, false, "1aG -.~", "1aG -.~");
        row("any, upper case", TCEDIT_ANY, true, "1aG -.~", "1AG -.~");
        row("unknown mode", 7, false, "1aF.-", "");
        row("negative mode", -1, false, "1aF.-", "");
    }
    void typedCharactersAreFilteredByMode() {
        QFETCH(int, mode);
        QFETCH(bool, upper);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        Form form(mode);
        QVERIFY(form.ready());
        form.edit->setUpperCase(upper);
        type(typed);
        QCOMPARE(form.edit->text(), expected);
        QCOMPARE(form.edit->cursorPosition(), expected.size());
        QCOMPARE(QApplication::focusWidget(), form.edit);
    }

    // "12 ab" with "ab" selected and "ab" last inserted (so it can be
    // undone), and "f" on the clipboard.
    void keysOnASelection_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QTestEventList>("events");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("clipboard");

        const auto row = [](const char* name, int mode, const QTestEventList& events,
                            const char* text, const char* selected, const char* clipboard) {
            QTest::newRow(name) << mode << events << QString(text) << QString(selected)
                                << QString(clipboard);
        };
        row("any: Ctrl+V pastes", TCEDIT_ANY, ctrl(Qt::Key_V), "12 f", "", "f");
        row("any: Ctrl+X cuts", TCEDIT_ANY, ctrl(Qt::Key_X), "12 ", "", "ab");
        row("any: Ctrl+C copies", TCEDIT_ANY, ctrl(Qt::Key_C), "12 ab", "ab", "ab");
        row("any: Ctrl+A selects all", TCEDIT_ANY, ctrl(Qt::Key_A), "12 ab", "12 ab", "f");
        row("any: Ctrl+Z undoes", TCEDIT_ANY, ctrl(Qt::Key_Z), "12 ", "", "f");

        const struct {
            const char* name;
            QTestEventList events;
        } dropped[] = {
            {"Ctrl+V", ctrl(Qt::Key_V)},
            {"Ctrl+X", ctrl(Qt::Key_X)},
            {"Ctrl+C", ctrl(Qt::Key_C)},
            {"Ctrl+A", ctrl(Qt::Key_A)},
            {"Ctrl+Z", ctrl(Qt::Key_Z)},
            {"Ctrl+Shift+V", keys({Qt::Key_V}, Qt::ControlModifier | Qt::ShiftModifier)},
            {"Ctrl+Backspace", ctrl(Qt::Key_Backspace)},
            {"g", keys({Qt::Key_G})},
            {"blank", keys({Qt::Key_Space})},
        };
        for (const auto& [mode, modeName] :
             {std::pair{TCEDIT_DECIMAL, "decimal"}, std::pair{TCEDIT_HEX, "hex"}}) {
            for (const auto& [name, events] : dropped) {
                const QByteArray rowName = QByteArray(modeName) + ": " + name + " is dropped";
                row(rowName.constData(), mode, events, "12 ab", "ab", "f");
            }
        }
        row("hex: f replaces the selection", TCEDIT_HEX, keys({Qt::Key_F}), "12 f", "", "f");
        row("hex: Ctrl+Alt+A is the letter", TCEDIT_HEX,
            keys({Qt::Key_A}, Qt::ControlModifier | Qt::AltModifier), "12 a", "", "f");
        row("decimal: 4 replaces the selection", TCEDIT_DECIMAL, keys({Qt::Key_4}), "12 4", "",
            "f");
        row("unknown mode: 1 is dropped", 7, keys({Qt::Key_1}), "12 ab", "ab", "f");
    }
    void keysOnASelection() {
        QFETCH(int, mode);
        QFETCH(QTestEventList, events);
        QFETCH(QString, text);
        QFETCH(QString, selected);
        QFETCH(QString, clipboard);
        Form form(mode);
        QVERIFY(form.ready());
        QApplication::clipboard()->setText("f");
        QCOMPARE(QApplication::clipboard()->text(), QString("f"));
        form.edit->setText("12 ");
        form.edit->insert("ab");
        form.edit->setSelection(3, 2);
        events.simulate(form.edit);
        QCOMPARE(form.edit->text(), text);
        QCOMPARE(form.edit->selectedText(), selected);
        if (!selected.isEmpty()) {
            QCOMPARE(form.edit->selectionStart(), text.size() - selected.size());
        }
        QCOMPARE(QApplication::clipboard()->text(), clipboard);
    }

    // Keys that insert no character are never filtered, whatever the mode;
    // Backspace is a character, so an unknown mode drops it too.
    void editingKeysWork_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QTestEventList>("events");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cursor");
        QTestEventList homeDelete = keys({Qt::Key_Home, Qt::Key_Delete});
        QTestEventList endLeftBackspace = keys({Qt::Key_End, Qt::Key_Left, Qt::Key_Backspace});
        QTestEventList selectTail = keys({Qt::Key_Home, Qt::Key_Right, Qt::Key_Right});
        selectTail.addKeyClick(Qt::Key_End, Qt::ShiftModifier);
        selectTail.addKeyClick(Qt::Key_Delete);
        QTestEventList wordLeft = keys({Qt::Key_Left, Qt::Key_Delete}, Qt::ControlModifier);
        for (const int mode : {TCEDIT_ANY, TCEDIT_DECIMAL, TCEDIT_HEX, 7}) {
            QTest::addRow("mode %d: Home, Delete", mode) << mode << homeDelete << "2345" << 0;
            QTest::addRow("mode %d: Shift+End, Delete", mode) << mode << selectTail << "12" << 2;
            QTest::addRow("mode %d: Ctrl+Left, Ctrl+Delete", mode) << mode << wordLeft << "" << 0;
        }
        for (const int mode : {TCEDIT_ANY, TCEDIT_DECIMAL, TCEDIT_HEX}) {
            QTest::addRow("mode %d: End, Left, Backspace", mode)
                << mode << endLeftBackspace << "1235" << 3;
        }
        QTest::newRow("unknown mode: End, Left, Backspace")
            << 7 << endLeftBackspace << "12345" << 4;
    }
    void editingKeysWork() {
        QFETCH(int, mode);
        QFETCH(QTestEventList, events);
        QFETCH(QString, text);
        QFETCH(int, cursor);
        Form form(mode);
        QVERIFY(form.ready());
        form.edit->setText("12345");
        events.simulate(form.edit);
        QCOMPARE(form.edit->text(), text);
        QCOMPARE(form.edit->cursorPosition(), cursor);
    }

    void dotMovesToTheNextField() {
        Form form(TCEDIT_DECIMAL);
        QVERIFY(form.ready());
        type("12.5");
        QCOMPARE(form.edit->text(), QString("12"));
        QCOMPARE(form.next->text(), QString("5"));
        QCOMPARE(QApplication::focusWidget(), form.next);
    }

    // The field that follows is the next one created, not the next in the
    // tab order nor the next on the screen.
    void dotFollowsTheCreationOrder() {
        Form form(TCEDIT_DECIMAL);
        auto* third = new QLineEdit(&form.window);
        third->show();
        QWidget::setTabOrder(form.edit, third);
        form.next->move(0, 80);
        third->move(0, 40);
        QVERIFY(form.ready());
        type(".7");
        QCOMPARE(form.next->text(), QString("7"));
        QCOMPARE(third->text(), QString());
    }

    void dotOnTheLastFieldIsOnlyDropped() {
        QWidget window;
        auto* before = new QLineEdit(&window);
        auto* edit = new CTCEdit(&window);
        edit->mode = TCEDIT_DECIMAL;
        edit->move(0, 40);
        window.show();
        window.activateWindow();
        edit->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        type("1.2");
        QCOMPARE(edit->text(), QString("12"));
        QCOMPARE(before->text(), QString());
        QCOMPARE(QApplication::focusWidget(), edit);

        CTCEdit alone;
        alone.mode = TCEDIT_DECIMAL;
        QVERIFY(!alone.OnChar(u'.'));
    }

    // Neither setText nor the context menu's Paste goes through the
    // filter; Shift+Insert pastes too, since it types no character.
    void programTextAndPasteAreNotFiltered() {
        Form form(7);
        QVERIFY(form.ready());
        form.edit->setText("x-y.");
        QCOMPARE(form.edit->text(), QString("x-y."));
        QApplication::clipboard()->setText("g h");
        form.edit->paste();
        QCOMPARE(form.edit->text(), QString("x-y.g h"));
        form.edit->mode = TCEDIT_HEX;
        QTest::keyClick(form.edit, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(form.edit->text(), QString("x-y.g hg h"));
    }

    void upperCaseCoversPasteAndKeepsTheCaret() {
        Form form(TCEDIT_ANY);
        QVERIFY(form.ready());
        form.edit->setUpperCase(true);
        // ß has no one-letter capital: it stays, and so do the length and
        // the caret.
        QApplication::clipboard()->setText("Mixed-1ß");
        QTest::keyClick(form.edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(form.edit->text(), QString("MIXED-1ß"));
        QTest::keyClick(form.edit, Qt::Key_Home);
        type("ab");
        QCOMPARE(form.edit->text(), QString("ABMIXED-1ß"));
        QCOMPARE(form.edit->cursorPosition(), 2);
        form.edit->setText("set");
        QCOMPARE(form.edit->text(), QString("SET"));

        form.edit->setUpperCase(false);
        type("a");
        QCOMPARE(form.edit->text(), QString("SETa"));
        QVERIFY(form.edit->validator() == nullptr);
    }
};

}  // namespace

QTEST_MAIN(TCEditTest)

#include "test_tc_edit.moc"
