// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/value_label.h"

#include <QAccessibleWidget>

namespace orv {

namespace {

// The interface Qt gives a read-only line edit, for a label: nothing can be
// selected or edited, the caret stays at the start.
class AccessibleValueLabel final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit AccessibleValueLabel(QWidget* widget)
        : QAccessibleWidget(widget, QAccessible::EditableText) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        return state;
    }

    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Value ? shown() : QAccessibleWidget::text(kind);
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    void selection(int, int* startOffset, int* endOffset) const override {
        *startOffset = 0;
        *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}

    QString text(int startOffset, int endOffset) const override {
        return shown().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(shown().size()); }

    // The label's text is one line; characters are placed by the font's
    // advances within the label's contents.
    QRect characterRect(int offset) const override {
        const QString value = shown();
        if (offset < 0 || offset >= value.size()) {
            return {};
        }
        const QLabel* label = this->label();
        const QFontMetrics metrics(label->font());
        const QRect contents = label->contentsRect();
        const int width = metrics.horizontalAdvance(value);
        int left = contents.left();
        if (label->alignment() & Qt::AlignRight) {
            left = contents.right() - width;
        } else if (label->alignment() & Qt::AlignHCenter) {
            left = contents.center().x() - width / 2;
        }
        const int x = left + metrics.horizontalAdvance(value.left(offset));
        const int top = contents.center().y() - metrics.height() / 2;
        const QRect local(x, top, metrics.horizontalAdvance(value.at(offset)), metrics.height());
        return QRect(label->mapToGlobal(local.topLeft()), local.size());
    }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        *startOffset = offset;
        *endOffset = offset;
        return {};
    }

private:
    const QLabel* label() const { return static_cast<const QLabel*>(widget()); }
    QString shown() const { return label()->text(); }
};

QAccessibleInterface* valueLabelInterface(const QString& className, QObject* object) {
    if (className == QLatin1String(ValueLabel::staticMetaObject.className()) &&
        object->isWidgetType()) {
        return new AccessibleValueLabel(static_cast<QWidget*>(object));
    }
    return nullptr;
}

}  // namespace

ValueLabel::ValueLabel(QWidget* parent) : QLabel(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(&valueLabelInterface);
        return true;
    }();
    (void)installed;
    setTextFormat(Qt::PlainText);
}

void ValueLabel::setValue(const QString& value) {
    const QString old = text();
    if (old == value) {
        return;
    }
    setText(value);
    QAccessibleTextUpdateEvent event(this, 0, old, value);
    QAccessible::updateAccessibility(&event);
}

}  // namespace orv
